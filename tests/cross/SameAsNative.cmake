# The cross-built meshcraft-cli (under its emulator) writes the same bytes as
# the one built for this machine, for every real file: models converted to
# either form and exported as OBJ, configs as text and binarized, animations,
# sounds, archives extracted.
# Arguments: CLI (with its emulator), NATIVE_CLI, REALDATA, WORK.

include(${CMAKE_CURRENT_LIST_DIR}/../cli/support/CliCheck.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/cross ${WORK}/native)

if(NOT IS_DIRECTORY ${REALDATA})
  message(STATUS "no real files here: nothing to compare")
  return()
endif()

set(compared 0)

# Runs one command with both tools, each writing below its own folder (the
# arguments name the output as @OUT@/...), and compares what they wrote and
# their exit status.
function(both name)
  set(cross_args)
  set(native_args)
  foreach(a ${ARGN})
    string(REPLACE "@OUT@" "${WORK}/cross" c "${a}")
    string(REPLACE "@OUT@" "${WORK}/native" n "${a}")
    list(APPEND cross_args "${c}")
    list(APPEND native_args "${n}")
  endforeach()
  execute_process(COMMAND ${CLI} ${cross_args} RESULT_VARIABLE cross_status OUTPUT_QUIET ERROR_VARIABLE cross_err)
  execute_process(COMMAND ${NATIVE_CLI} ${native_args} RESULT_VARIABLE native_status OUTPUT_QUIET
    ERROR_VARIABLE native_err)
  if(NOT cross_status EQUAL native_status)
    message(FATAL_ERROR "${name}: exit ${cross_status}, natively ${native_status}\n${cross_err}\n${native_err}")
  endif()
  math(EXPR n "${compared} + 1")
  set(compared ${n} PARENT_SCOPE)
endfunction()

file(GLOB models ${REALDATA}/p3d/*.p3d)
foreach(model ${models})
  get_filename_component(name ${model} NAME_WE)
  both(${name} p3d convert ${model} @OUT@/${name}.odol.p3d --to odol --animation)
  both(${name} p3d convert ${model} @OUT@/${name}.mlod.p3d --to mlod)
  both(${name} p3d obj ${model} @OUT@/${name}.obj)
endforeach()

file(GLOB configs ${REALDATA}/cpp/*.cpp ${REALDATA}/bin/*.bin)
foreach(config ${configs})
  get_filename_component(name ${config} NAME)
  both(${name} config text ${config} @OUT@/${name}.txt)
  both(${name} config bin ${config} @OUT@/${name}.bin)
endforeach()

file(GLOB animations ${REALDATA}/rtm/*.rtm)
foreach(animation ${animations})
  get_filename_component(name ${animation} NAME)
  both(${name} rtm copy ${animation} @OUT@/${name})
endforeach()

file(GLOB sounds ${REALDATA}/wss/*.wss)
foreach(sound ${sounds})
  get_filename_component(name ${sound} NAME)
  both(${name} wss wav ${sound} @OUT@/${name}.wav)
endforeach()

file(GLOB archives ${REALDATA}/pbo/*.pbo)
foreach(archive ${archives})
  get_filename_component(name ${archive} NAME_WE)
  both(${name} pbo extract ${archive} @OUT@/${name})
endforeach()

# Every file either wrote, byte for byte.
file(GLOB_RECURSE cross_files RELATIVE ${WORK}/cross ${WORK}/cross/*)
file(GLOB_RECURSE native_files RELATIVE ${WORK}/native ${WORK}/native/*)
list(SORT cross_files)
list(SORT native_files)
if(NOT cross_files STREQUAL native_files)
  message(FATAL_ERROR "different files written:\n  cross  ${cross_files}\n  native ${native_files}")
endif()
set(differing)
foreach(f ${cross_files})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/cross/${f} ${WORK}/native/${f}
    RESULT_VARIABLE differ)
  if(differ)
    list(APPEND differing ${f})
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "written differently by the two builds: ${differing}")
endif()
list(LENGTH cross_files file_count)
message(STATUS "${compared} commands, ${file_count} files written alike")
