# meshcraft-cli run as a user would: exit statuses, the demo model, and every
# real model (info, dump, convert back to identical bytes; editable ones load
# or are refused with the reason).
# Arguments: CLI, REALDATA, WORK, DEMO_DIR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

set(DEMO ${DEMO_DIR}/box.p3d)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Usage errors give status 2, help 0.
run_cli(2)
run_cli(0 --help)
run_cli(0 p3d info --help)
run_cli(2 p3d info)
run_cli(2 p3d info a b)
run_cli(2 p3d info ${DEMO} --bogus)
run_cli(2 p3d dump ${DEMO})
run_cli(2 p3d convert ${DEMO} ${WORK}/x.p3d)
run_cli(2 p3d convert ${DEMO} ${WORK}/x.p3d --to obj)
run_cli(2 nosuchgroup info)
run_cli(1 p3d info ${WORK}/missing.p3d)

# The demo model.
run_cli(0 p3d info ${DEMO})
expect_full_stdout_refused(p3d dump ${DEMO} --json)
if(NOT cli_out MATCHES "Format: ODOL version 7" OR NOT cli_out MATCHES "Geometry")
  message(FATAL_ERROR "unexpected info output:\n${cli_out}")
endif()
run_cli(0 p3d info ${DEMO} --json)
string(JSON lod_count LENGTH "${cli_out}" lods)
if(NOT lod_count EQUAL 3)
  message(FATAL_ERROR "demo model: ${lod_count} LODs in JSON")
endif()

# A file that is not a model.
file(WRITE ${WORK}/text.p3d "hello world")
run_cli(1 p3d info ${WORK}/text.p3d)
expect_match("${cli_err}" "unknown model format" "unexpected refusal text")

if(NOT IS_DIRECTORY ${REALDATA}/p3d)
  message(STATUS "no real models here: the rest is skipped")
  return()
endif()

file(GLOB models ${REALDATA}/p3d/*.p3d)
set(odol_count 0)
foreach(model ${models})
  get_filename_component(name ${model} NAME)
  file(READ ${model} head LIMIT 4 HEX)
  if(NOT head STREQUAL "4f444f4c")
    # Editable models load when their LODs are SP3X; a later layout is
    # refused with the reason.
    file(READ ${model} lod_head LIMIT 4 OFFSET 12 HEX)
    if(lod_head STREQUAL "53503358")
      run_cli(0 p3d info ${model})
      if(NOT cli_out MATCHES "Format: MLOD version 257")
        message(FATAL_ERROR "${name}: unexpected info output:\n${cli_out}")
      endif()
    else()
      run_cli(1 p3d info ${model})
      if(NOT cli_err MATCHES "LOD signature mismatch" OR NOT cli_err MATCHES "Cannot load")
        message(FATAL_ERROR "${name}: refusal without its reason: ${cli_err}")
      endif()
    endif()
    continue()
  endif()
  math(EXPR odol_count "${odol_count} + 1")
  run_cli(0 p3d info ${model})
  run_cli(0 p3d convert ${model} ${WORK}/${name} --to odol --animation)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${model} ${WORK}/${name} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name}: the rewrite differs from the original")
  endif()
  run_cli(0 p3d dump ${model} --json)
  set(original "${cli_out}")
  run_cli(0 p3d dump ${WORK}/${name} --json)
  string(REPLACE "${WORK}/${name}" "${model}" rewrite "${cli_out}")
  if(NOT original STREQUAL rewrite)
    message(FATAL_ERROR "${name}: dump of the rewrite differs")
  endif()
endforeach()
message(STATUS "${odol_count} real ODOL models checked")
