# Shared steps of the command-line checks in tests/cli/*.cmake.

# A cross build gives the tool after its emulator, the words joined by "|"
# (one argument of the test).
string(REPLACE "|" ";" CLI "${CLI}")

# Runs meshcraft-cli with the arguments; fails unless it exits with the given
# status. Leaves its standard output and error in cli_out and cli_err.
function(run_cli expected_status)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "meshcraft-cli ${ARGN}: exit ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  set(cli_out "${out}" PARENT_SCOPE)
  set(cli_err "${err}" PARENT_SCOPE)
endfunction()

# Runs meshcraft-cli with its standard output on a full disk (where the
# system has /dev/full): it must fail and say so.
function(expect_full_stdout_refused)
  if(NOT EXISTS /dev/full)
    return()
  endif()
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_FILE /dev/full ERROR_VARIABLE err)
  if(NOT status EQUAL 1 OR NOT err MATCHES "Cannot write to standard output")
    message(FATAL_ERROR "meshcraft-cli ${ARGN} > /dev/full: exit ${status}, expected 1\n${err}")
  endif()
endfunction()

# Fails with the text unless it matches the regular expression.
function(expect_match text regex what)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "${what}: ${text}")
  endif()
endfunction()

# Fails unless the two files hold the same bytes.
function(expect_same_files a b)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()
