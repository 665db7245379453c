# meshcraft-cli config and stringtable commands run as a user would: usage
# errors, small texts, and the real configs and string tables (round trips
# through both forms, refusals with their messages).
# Arguments: CLI, REALDATA, WORK, DEMO_DIR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Usage.
run_cli(2 config)
run_cli(0 config --help)
run_cli(2 config text)
run_cli(2 config bin ${WORK}/a.cpp)
run_cli(2 config get ${WORK}/a.cpp)
run_cli(2 config text ${WORK}/a.cpp --bogus)
run_cli(2 stringtable)
run_cli(1 config text ${WORK}/missing.cpp)
expect_match("${cli_err}" "cannot open file" "unexpected refusal text")

# A small config through every command.
file(WRITE ${WORK}/small.cpp "#define SPEED 50\nclass Base { speed = SPEED; sound[] = {\"a.wss\", db-20, 1}; };\nclass Car : Base { name = Car; };\n")
run_cli(0 config preprocess ${WORK}/small.cpp)
if(NOT cli_out MATCHES "speed = 50;")
  message(FATAL_ERROR "preprocess output:\n${cli_out}")
endif()
run_cli(0 config get ${WORK}/small.cpp Car/speed)
if(NOT cli_out STREQUAL "50\n")
  message(FATAL_ERROR "inherited value: '${cli_out}'")
endif()
run_cli(0 config get ${WORK}/small.cpp car/SOUND)
if(NOT cli_out STREQUAL "{\"a.wss\",0.100000,1}\n")
  message(FATAL_ERROR "array value: '${cli_out}'")
endif()
run_cli(1 config get ${WORK}/small.cpp Car/none)
# A text that ends inside open classes loads, with one warning naming the
# innermost one.
file(WRITE ${WORK}/open.cpp "class Outer {\n  class Inner {\n    x = 1;\n")
run_cli(0 config get ${WORK}/open.cpp Outer/Inner/x)
if(NOT cli_out STREQUAL "1\n")
  message(FATAL_ERROR "value in an open class: '${cli_out}'")
endif()
expect_match("${cli_err}" "class \"Inner\" begun at line 2 is not closed at the end of the text" "open classes")
run_cli(0 config text ${WORK}/small.cpp ${WORK}/small.txt)
run_cli(0 config bin ${WORK}/small.cpp ${WORK}/small.bin)
run_cli(0 config text ${WORK}/small.bin)
file(READ ${WORK}/small.txt text)
if(NOT cli_out STREQUAL text)
  message(FATAL_ERROR "text of the binarized form differs:\n${cli_out}\n---\n${text}")
endif()
# Output that cannot be written is a failure.
expect_full_stdout_refused(config text ${WORK}/small.cpp)
expect_full_stdout_refused(config get ${WORK}/small.cpp Car/speed)
# A text that ends inside its class loads, the class closed, with a warning.
file(WRITE ${WORK}/unclosed.cpp "class A {\n  x = 1;\n")
run_cli(0 config text ${WORK}/unclosed.cpp)
expect_match("${cli_err}" "class \"A\" begun at line 1 is not closed at the end of the text" "no warning")
# A stray brace is still an error.
file(WRITE ${WORK}/broken.cpp "class A {\n  x = 1;\n};\n};\n")
run_cli(1 config text ${WORK}/broken.cpp)
expect_match("${cli_err}" "\"class\", field name or end of file expected" "unexpected refusal text")

if(NOT IS_DIRECTORY ${REALDATA}/cpp)
  message(STATUS "no real configs here: the rest is skipped")
  return()
endif()

# A folder in which OWP_Mi8 names the add-on's folder, for its includes.
file(MAKE_DIRECTORY ${WORK}/addons)
file(CREATE_LINK ${REALDATA}/cpp/owp_hip ${WORK}/addons/OWP_Mi8 SYMBOLIC)

set(n 0)
foreach(config cpp/mpiv_ah64_config.cpp ext/tzk101_description.ext cpp/owp_hip/config.cpp)
  math(EXPR n "${n} + 1")
  set(src ${REALDATA}/${config})
  run_cli(0 config text ${src} ${WORK}/t${n}.txt -I ${WORK}/addons)
  run_cli(0 config bin ${src} ${WORK}/b${n}.bin -I ${WORK}/addons)
  # The text of the binarized form equals the text, and reading the
  # binarized form and writing it again gives the same bytes.
  run_cli(0 config text ${WORK}/b${n}.bin ${WORK}/tb${n}.txt)
  expect_same_files(${WORK}/t${n}.txt ${WORK}/tb${n}.txt)
  run_cli(0 config bin ${WORK}/b${n}.bin ${WORK}/bb${n}.bin)
  expect_same_files(${WORK}/b${n}.bin ${WORK}/bb${n}.bin)
  # The text reads back to the same text.
  configure_file(${WORK}/t${n}.txt ${WORK}/t${n}.cpp COPYONLY)
  run_cli(0 config text ${WORK}/t${n}.cpp ${WORK}/tt${n}.txt)
  expect_same_files(${WORK}/t${n}.txt ${WORK}/tt${n}.txt)
endforeach()
run_cli(0 config get ${REALDATA}/cpp/owp_hip/config.cpp CfgMovesMC/States/OWPMi8pilotDead/file -I ${WORK}/addons)
expect_match("${cli_out}" "OWPMi8pilotsmrt.rtm" "macro-built class")
# Without the folder its includes are missing.
run_cli(1 config text ${REALDATA}/cpp/owp_hip/config.cpp)
expect_match("${cli_err}" "cannot open include file \"OWP_Mi8\\\\config\\\\cfgPatches.cpp\"" "unexpected refusal text")

foreach(config tzk_objects_config.cpp tzk210_TZK_Effects_config.cpp)
  run_cli(1 config text ${REALDATA}/cpp/${config})
  if(NOT cli_err MATCHES "cannot open include file \"[^\"]+\"\r?\nline: [0-9]+, pos: [0-9]+")
    message(FATAL_ERROR "${config}: unexpected refusal text: ${cli_err}")
  endif()
endforeach()

run_cli(1 config text ${REALDATA}/bin/a3_cfgconvert_numbers.bin)
expect_match("${cli_err}" "unsupported version 0 \\(2 or later expected\\): the layout of a later game's binarized configs, not supported"
  "unexpected refusal text")
run_cli(1 config text ${REALDATA}/bin/a3_texHeaders.bin)
expect_match("${cli_err}" "signature mismatch" "unexpected refusal text")

file(GLOB tables ${REALDATA}/csv/*.csv)
foreach(table ${tables})
  run_cli(0 stringtable ${table})
  run_cli(0 stringtable ${table} --json)
  string(JSON languages LENGTH "${cli_out}" languages)
  string(JSON rows LENGTH "${cli_out}" rows)
  if(languages LESS 1 OR rows LESS 1)
    message(FATAL_ERROR "${table}: ${languages} languages, ${rows} rows")
  endif()
endforeach()
