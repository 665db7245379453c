# meshcraft-cli pbo, run as a user would: pack a folder, list and extract it
# back to the same tree; unsafe entry names; the real archives.
# Arguments: CLI, REALDATA, WORK, DEMO_DIR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

# Every file under a folder (relative names) and the same under another one.
function(expect_same_tree expected actual)
  file(GLOB_RECURSE want RELATIVE ${expected} ${expected}/*)
  file(GLOB_RECURSE got RELATIVE ${actual} ${actual}/*)
  list(SORT want)
  list(SORT got)
  if(NOT want STREQUAL got)
    message(FATAL_ERROR "trees differ:\n  expected ${want}\n  got      ${got}")
  endif()
  foreach(f ${want})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected}/${f} ${actual}/${f} RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "${f}: extracted bytes differ")
    endif()
  endforeach()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Usage errors give status 2.
run_cli(0 pbo --help)
run_cli(2 pbo list)
run_cli(2 pbo list a b)
run_cli(2 pbo extract a)
run_cli(2 pbo cat a)
run_cli(2 pbo pack a)
run_cli(2 pbo pack a b --bogus)
run_cli(2 pbo list a --no-recursive)

# Files that are not archives are refused with a reason.
run_cli(1 pbo list ${WORK}/missing.pbo)
expect_match("${cli_err}" "Cannot open archive: \"[^\"]*missing.pbo\" does not exist" "missing archive")
file(WRITE ${WORK}/text.pbo "hello world")
run_cli(1 pbo list ${WORK}/text.pbo)
expect_match("${cli_err}" "Cannot open archive: \"[^\"]*text.pbo\": the entry headers run past the end of the file"
  "no reason given")
file(MAKE_DIRECTORY ${WORK}/folder.pbo)
run_cli(1 pbo list ${WORK}/folder.pbo)
expect_match("${cli_err}" "Cannot open archive: \"[^\"]*folder.pbo\" is a folder" "folder")
# A model is no archive.
if(EXISTS ${DEMO_DIR}/box.p3d)
  run_cli(1 pbo list ${DEMO_DIR}/box.p3d)
  expect_match("${cli_err}" "Cannot open archive: \"[^\"]*box.p3d\" is not a Pb archive" "model file")
endif()

# A folder packed and extracted gives the same tree back.
set(SRC ${WORK}/Src)
file(WRITE ${SRC}/Config.CPP "class CfgPatches { class Mine {}; };\n")
file(WRITE ${SRC}/Data/Tank.p3d "not really a model")
file(WRITE ${SRC}/Data/Textures/Camo_CO.paa "texture bytes")
file(WRITE ${SRC}/Data/empty.txt "")
string(REPEAT "0123456789abcdef" 20000 big)
file(WRITE ${SRC}/sounds/engine.wss "${big}")
run_cli(0 pbo pack ${SRC} ${WORK}/mine.pbo)
run_cli(0 pbo extract ${WORK}/mine.pbo ${WORK}/out)
expect_same_tree(${SRC} ${WORK}/out)

# Listing: storage order, sizes, offsets.
run_cli(0 pbo list ${WORK}/mine.pbo --json)
string(JSON count LENGTH "${cli_out}" entries)
string(JSON first GET "${cli_out}" entries 0 name)
string(JSON last GET "${cli_out}" entries 4 name)
string(JSON size GET "${cli_out}" entries 4 size)
if(NOT count EQUAL 5 OR NOT first STREQUAL "Config.CPP" OR NOT last STREQUAL "sounds\\engine.wss" OR NOT size EQUAL 320000)
  message(FATAL_ERROR "unexpected listing:\n${cli_out}")
endif()
run_cli(0 pbo list ${WORK}/mine.pbo)
if(NOT cli_out MATCHES "Data\\\\Textures\\\\Camo_CO.paa" OR NOT cli_out MATCHES "5 entries")
  message(FATAL_ERROR "unexpected listing:\n${cli_out}")
endif()

# One entry to standard output, named in any case and with slashes.
run_cli(0 pbo cat ${WORK}/mine.pbo data/textures/CAMO_co.paa)
if(NOT cli_out STREQUAL "texture bytes")
  message(FATAL_ERROR "cat gave: ${cli_out}")
endif()
run_cli(1 pbo cat ${WORK}/mine.pbo nothere.txt)
expect_full_stdout_refused(pbo list ${WORK}/mine.pbo)
expect_full_stdout_refused(pbo list ${WORK}/mine.pbo --json)

# Chosen entries only; an unknown one is reported.
run_cli(0 pbo extract ${WORK}/mine.pbo ${WORK}/some Config.cpp "data\\tank.p3d")
file(GLOB_RECURSE some RELATIVE ${WORK}/some ${WORK}/some/*)
list(SORT some)
if(NOT some STREQUAL "Config.CPP;Data/Tank.p3d")
  message(FATAL_ERROR "chosen entries: ${some}")
endif()
run_cli(1 pbo extract ${WORK}/mine.pbo ${WORK}/none nothere.txt)

# Without sub-folders only the top files are packed.
run_cli(0 pbo pack ${SRC} ${WORK}/flat.pbo --no-recursive)
run_cli(0 pbo list ${WORK}/flat.pbo)
if(NOT cli_out MATCHES "1 entries")
  message(FATAL_ERROR "flat archive:\n${cli_out}")
endif()

# Packing again replaces the archive; an empty folder is refused and leaves
# the archive there as it was.
file(READ ${WORK}/mine.pbo before HEX)
file(MAKE_DIRECTORY ${WORK}/emptyfolder)
run_cli(1 pbo pack ${WORK}/emptyfolder ${WORK}/mine.pbo)
expect_match("${cli_err}" "There are no files" "empty folder")
file(READ ${WORK}/mine.pbo after HEX)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a refused pack changed the archive")
endif()
run_cli(1 pbo pack ${SRC} ${WORK}/no/such/folder/x.pbo)
expect_match("${cli_err}" "Cannot create file" "missing destination folder")

# Entry names that would leave the folder are refused, the rest extracted.
find_program(PRINTF printf)
if(PRINTF)
  execute_process(COMMAND ${PRINTF}
    "..\\\\evil.txt\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\004\\0\\0\\0ok.txt\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\002\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0evilok"
    OUTPUT_FILE ${WORK}/unsafe.pbo)
  run_cli(1 pbo extract ${WORK}/unsafe.pbo ${WORK}/unsafe)
  if(NOT cli_err MATCHES "refused" OR EXISTS ${WORK}/evil.txt OR NOT EXISTS ${WORK}/unsafe/ok.txt)
    message(FATAL_ERROR "unsafe names: ${cli_err}")
  endif()
  file(READ ${WORK}/unsafe/ok.txt ok_text)
  if(NOT ok_text STREQUAL "ok")
    message(FATAL_ERROR "ok.txt holds: ${ok_text}")
  endif()
endif()

if(NOT IS_DIRECTORY ${REALDATA}/pbo)
  message(STATUS "no real archives here: the rest is skipped")
  return()
endif()

file(GLOB archives ${REALDATA}/pbo/*.pbo)
foreach(archive ${archives})
  get_filename_component(name ${archive} NAME_WE)
  run_cli(0 pbo list ${archive} --json)
  set(listing "${cli_out}")
  string(JSON count LENGTH "${listing}" entries)
  run_cli(0 pbo extract ${archive} ${WORK}/real/${name})
  file(GLOB_RECURSE extracted ${WORK}/real/${name}/*)
  list(LENGTH extracted n)
  if(NOT n EQUAL count)
    message(FATAL_ERROR "${name}: ${n} files extracted of ${count} entries")
  endif()
  # Each extracted file has the size the listing gives.
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON entry GET "${listing}" entries ${i} name)
    string(JSON size GET "${listing}" entries ${i} size)
    string(REPLACE "\\" "/" path "${entry}")
    file(SIZE ${WORK}/real/${name}/${path} on_disk)
    if(NOT on_disk EQUAL size)
      message(FATAL_ERROR "${name}: ${entry} has ${on_disk} bytes, listed ${size}")
    endif()
  endforeach()
  message(STATUS "${name}: ${count} entries listed and extracted")
endforeach()
