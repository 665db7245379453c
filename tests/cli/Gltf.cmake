# meshcraft-cli p3d gltf run as a user would: usage errors, the demo game's
# models with their textures from its archives, every real model (one LOD
# and all LODs), and, where node and the npm package gltf-validator are
# installed, the Khronos validator on every file written: no error, no
# warning.
# Arguments: CLI, REALDATA, WORK, DEMO_DIR, DEMO_GAME_DIR, NODE, GLTF_VALIDATOR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(DEMO ${DEMO_DIR}/box.p3d)
run_cli(0 p3d gltf --help)
run_cli(2 p3d gltf ${DEMO})
run_cli(2 p3d gltf ${DEMO} ${WORK}/x.glb --lod two)
run_cli(2 p3d gltf ${DEMO} ${WORK}/x.glb --lod 1 --all-lods)
run_cli(2 p3d gltf ${DEMO} ${WORK}/x.glb --lod 99)
run_cli(1 p3d gltf ${WORK}/missing.p3d ${WORK}/x.glb)
run_cli(1 p3d gltf ${DEMO} ${WORK}/x.glb --archives ${WORK}/no-such-folder)
if(EXISTS ${WORK}/x.glb)
  message(FATAL_ERROR "a refused export left a file")
endif()

# Without archives the textures are named as not loaded, once each, as
# warnings (which --quiet drops).
run_cli(0 p3d gltf ${DEMO} ${WORK}/box.glb)
expect_match("${cli_err}" "^Warning: Texture \"[^\"]+\" not loaded\n$" "box without archives")
run_cli(0 p3d gltf ${DEMO} ${WORK}/box.glb --quiet)
if(NOT cli_err STREQUAL "")
  message(FATAL_ERROR "--quiet still warns: ${cli_err}")
endif()
set(written ${WORK}/box.glb)

# The first four bytes of a file.
function(expect_glb file)
  file(READ ${file} head LIMIT 4 HEX)
  if(NOT head STREQUAL "676c5446")
    message(FATAL_ERROR "${file} is not binary glTF")
  endif()
endfunction()

# The demo game's models, textures from its archives.
if(DEMO_GAME_DIR AND EXISTS ${DEMO_GAME_DIR}/Dta/data3d.pbo)
  run_cli(0 pbo extract ${DEMO_GAME_DIR}/Dta/data3d.pbo ${WORK}/data3d)
  run_cli(0 pbo extract ${DEMO_GAME_DIR}/AddOns/demo.pbo ${WORK}/addon)
  file(GLOB demo_models ${WORK}/data3d/*.p3d ${WORK}/addon/*.p3d)
  list(LENGTH demo_models count)
  if(count LESS 4)
    message(FATAL_ERROR "only ${count} demo models")
  endif()
  foreach(model ${demo_models})
    get_filename_component(name ${model} NAME_WE)
    run_cli(0 p3d gltf ${model} ${WORK}/demo_${name}.glb --archives ${DEMO_GAME_DIR})
    if(NOT name STREQUAL "arm" AND NOT cli_err STREQUAL "")
      message(FATAL_ERROR "${name}: ${cli_err}")
    endif()
    expect_glb(${WORK}/demo_${name}.glb)
    run_cli(0 p3d gltf ${model} ${WORK}/demo_${name}_all.glb --all-lods --archives ${DEMO_GAME_DIR})
    list(APPEND written ${WORK}/demo_${name}.glb ${WORK}/demo_${name}_all.glb)
  endforeach()
  # The crate carries its texture.
  file(STRINGS ${WORK}/demo_crate.glb crate_json REGEX "\"asset\"")
  expect_match("${crate_json}" "\"mimeType\":\"image/png\"" "crate without its picture")
  expect_match("${crate_json}" "\"name\":\"data.+crate_co\\.paa\"" "crate's material")
endif()

# Real textures of each stored type in place of the crate's own, from an
# archive made for the purpose: each is embedded (and validated below).
if(DEMO_GAME_DIR AND EXISTS ${WORK}/data3d/crate.p3d AND IS_DIRECTORY ${REALDATA}/paa)
  foreach(texture paa/ofp_captain.paa paa/tzk210_C130.paa paa/tzk210_Ka50.paa paa/a3_argba5.paa pac/tzk210_METAL7.pac)
    get_filename_component(name ${texture} NAME_WE)
    file(REMOVE_RECURSE ${WORK}/real-${name})
    configure_file(${REALDATA}/${texture} ${WORK}/real-${name}/data/crate_co.paa COPYONLY)
    file(MAKE_DIRECTORY ${WORK}/real-${name}/archives)
    run_cli(0 pbo pack ${WORK}/real-${name}/data ${WORK}/real-${name}/archives/data.pbo)
    run_cli(0 p3d gltf ${WORK}/data3d/crate.p3d ${WORK}/crate_${name}.glb --archives ${WORK}/real-${name}/archives)
    if(NOT cli_err STREQUAL "")
      message(FATAL_ERROR "crate with ${texture}: ${cli_err}")
    endif()
    file(STRINGS ${WORK}/crate_${name}.glb json REGEX "\"asset\"")
    expect_match("${json}" "\"mimeType\":\"image/png\"" "crate with ${texture}")
    list(APPEND written ${WORK}/crate_${name}.glb)
  endforeach()
endif()

# Every real model: refused forms give status 1, the rest export.
if(IS_DIRECTORY ${REALDATA}/p3d)
  file(GLOB models ${REALDATA}/p3d/*.p3d)
  set(exported 0)
  foreach(model ${models})
    get_filename_component(name ${model} NAME_WE)
    execute_process(COMMAND ${CLI} p3d info ${model} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(NOT status EQUAL 0)
      run_cli(1 p3d gltf ${model} ${WORK}/${name}.glb)
      continue()
    endif()
    run_cli(0 p3d gltf ${model} ${WORK}/${name}.glb)
    run_cli(0 p3d gltf ${model} ${WORK}/${name}_all.glb --all-lods)
    expect_glb(${WORK}/${name}_all.glb)
    list(APPEND written ${WORK}/${name}.glb ${WORK}/${name}_all.glb)
    math(EXPR exported "${exported} + 1")
  endforeach()
  if(exported LESS 8)
    message(FATAL_ERROR "only ${exported} real models exported")
  endif()
else()
  message(STATUS "no real models here")
endif()

if(NOT NODE OR NOT EXISTS ${GLTF_VALIDATOR}/package.json)
  message(STATUS "node or gltf-validator missing: the files are not validated")
  return()
endif()
execute_process(COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/support/validate-gltf.js ${GLTF_VALIDATOR} ${written}
  RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE err)
message(STATUS "${report}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the glTF validator found faults:\n${report}\n${err}")
endif()
