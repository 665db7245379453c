# p3d render without a display: usage, refusals, and a picture of every real
# model in each view and as a silhouette.
# Arguments: CLI, REALDATA, WORK, DEMO_DIR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs the tool with DISPLAY and WAYLAND_DISPLAY unset; fails unless it exits
# with the given status.
function(render expected_status)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${CLI} p3d render ${ARGN}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "p3d render ${ARGN}: exit ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  set(cli_err "${err}" PARENT_SCOPE)
endfunction()

# Fails unless the file exists and starts as a PNG file does.
function(expect_png path)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} was not written")
  endif()
  file(READ ${path} head LIMIT 8 HEX)
  if(NOT head STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${path} is no PNG file")
  endif()
  file(REMOVE ${path})
endfunction()

set(DEMO ${DEMO_DIR}/box.p3d)
render(2 ${DEMO})
render(2 ${DEMO} ${WORK}/x.png --size 0x10)
render(2 ${DEMO} ${WORK}/x.png --size 10)
render(2 ${DEMO} ${WORK}/x.png --size 9000x10)
render(2 ${DEMO} ${WORK}/x.png --view sideways)
render(2 ${DEMO} ${WORK}/x.png --lod one)
render(1 ${DEMO} ${WORK}/x.png --lod 99)
expect_match("${cli_err}" "has no LOD 99" "unexpected refusal text")
render(1 ${WORK}/missing.p3d ${WORK}/x.png)
file(WRITE ${WORK}/text.p3d "hello world")
render(1 ${WORK}/text.p3d ${WORK}/x.png)
if(EXISTS ${WORK}/x.png)
  message(FATAL_ERROR "a refused model left a picture")
endif()

render(0 ${DEMO} ${WORK}/demo.png)
expect_png(${WORK}/demo.png)
render(0 ${DEMO} ${WORK}/demo.png --size 40x30 --view top --mask --no-light)
expect_png(${WORK}/demo.png)

if(NOT IS_DIRECTORY ${REALDATA}/p3d)
  message(STATUS "no real models here: the rest is skipped")
  return()
endif()

set(views 3d front back left right top bottom)
file(GLOB models ${REALDATA}/p3d/*.p3d)
set(drawn 0)
foreach(model ${models})
  get_filename_component(name ${model} NAME_WE)
  file(READ ${model} head LIMIT 4 HEX)
  file(READ ${model} lod_head LIMIT 4 OFFSET 12 HEX)
  if(NOT head STREQUAL "4f444f4c" AND NOT lod_head STREQUAL "53503358")
    render(1 ${model} ${WORK}/${name}.png)
    continue()
  endif()
  foreach(view ${views})
    render(0 ${model} ${WORK}/${name}.${view}.png --size 96x72 --view ${view})
    expect_png(${WORK}/${name}.${view}.png)
  endforeach()
  render(0 ${model} ${WORK}/${name}.mask.png --size 96x72 --view front --mask)
  expect_png(${WORK}/${name}.mask.png)
  math(EXPR drawn "${drawn} + 1")
endforeach()
if(drawn LESS 8)
  message(FATAL_ERROR "only ${drawn} real models drawn")
endif()

# A damaged copy of a real model is refused.
execute_process(COMMAND head -c 20000 ${REALDATA}/p3d/tzk210_T80.p3d OUTPUT_FILE ${WORK}/cut.p3d)
render(1 ${WORK}/cut.p3d ${WORK}/cut.png)
message(STATUS "${drawn} real models drawn in every view")
