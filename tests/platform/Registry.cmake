# The game folder in the registry of a Wine prefix, written with `reg add` as
# the game's installer would, and read back by GetGameFolder in
# platform_tests (its Registry.* cases, which run only when told what to
# expect). Arguments: EMULATOR (Wine with its environment), PROGRAM.

# The emulator's words come joined by "|" (one argument of the test).
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")

set(key "HKLM\\Software\\Codemasters\\Operation Flashpoint")

function(reg)
  execute_process(COMMAND ${EMULATOR} reg ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(reg_status ${status} PARENT_SCOPE)
  set(reg_out "${out}${err}" PARENT_SCOPE)
endfunction()

function(remove_keys)
  reg(delete ${key} /f /reg:64)
  reg(delete ${key} /f /reg:32)
endfunction()

# Runs the registry cases expecting the folder text (empty: no game).
function(expect_game_folder expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env MESHCRAFT_TEST_REGISTRY=1 "MESHCRAFT_TEST_GAME_FOLDER=${expected}"
      ${EMULATOR} ${PROGRAM} --gtest_filter=Registry.*
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out MATCHES "1 test")
    message(FATAL_ERROR "game folder \"${expected}\" not read back (exit ${status}):\n${out}\n${err}")
  endif()
endfunction()

remove_keys()
expect_game_folder("")

# The key of a 64-bit installer, with a name outside ASCII.
set(folder "C:\\Games\\Operation Flashpoint Résistance")
reg(add ${key} /v MAIN /t REG_SZ /d ${folder} /f /reg:64)
if(NOT reg_status EQUAL 0)
  message(FATAL_ERROR "reg add failed: ${reg_out}")
endif()
expect_game_folder("${folder}")

# The game's own 32-bit installer writes into the 32-bit view.
remove_keys()
set(folder32 "D:\\Codemasters\\OFP")
reg(add ${key} /v MAIN /t REG_SZ /d ${folder32} /f /reg:32)
if(NOT reg_status EQUAL 0)
  message(FATAL_ERROR "reg add /reg:32 failed: ${reg_out}")
endif()
expect_game_folder("${folder32}")

# Both: the native view wins.
reg(add ${key} /v MAIN /t REG_SZ /d ${folder} /f /reg:64)
expect_game_folder("${folder}")

# A value of another type is no folder.
remove_keys()
reg(add ${key} /v MAIN /t REG_DWORD /d 7 /f /reg:64)
expect_game_folder("")
remove_keys()
