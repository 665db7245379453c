# meshcraft-cli on RTM animations: exit statuses, info and copy of every real
# animation, and posing the generated two-bone arm into an OBJ file.
# Arguments: CLI, REALDATA, WORK, DEMO_DIR.

include(${CMAKE_CURRENT_LIST_DIR}/support/CliCheck.cmake)

# The file's bytes in hex with everything after the terminating zero of each
# 32-byte name field cleared: real files leave junk there, the writer zeros.
function(hex_without_name_junk file out_var)
  file(READ ${file} hex HEX)
  string(SUBSTRING "${hex}" 40 8 frames_hex)
  string(SUBSTRING "${hex}" 48 8 bones_hex)
  foreach(v frames bones)
    # Little-endian: the first byte is the lowest.
    string(SUBSTRING "${${v}_hex}" 0 2 b0)
    string(SUBSTRING "${${v}_hex}" 2 2 b1)
    math(EXPR ${v} "0x${b1}${b0}")
  endforeach()
  set(fields)
  math(EXPR last_bone "${bones} - 1")
  if(bones GREATER 0)
    foreach(b RANGE ${last_bone})
      math(EXPR offset "28 + 32 * ${b}")
      list(APPEND fields ${offset})
    endforeach()
    if(frames GREATER 0)
      math(EXPR last_frame "${frames} - 1")
      foreach(f RANGE ${last_frame})
        foreach(b RANGE ${last_bone})
          math(EXPR offset "28 + 32 * ${bones} + ${f} * (4 + 80 * ${bones}) + 4 + 80 * ${b}")
          list(APPEND fields ${offset})
        endforeach()
      endforeach()
    endif()
  endif()
  set(result "")
  set(done 0)
  foreach(offset ${fields})
    math(EXPR start "2 * ${offset}")
    math(EXPR keep "${start} - ${done}")
    string(SUBSTRING "${hex}" ${done} ${keep} before)
    string(SUBSTRING "${hex}" ${start} 64 field)
    set(clean "")
    set(ended FALSE)
    foreach(i RANGE 0 62 2)
      string(SUBSTRING "${field}" ${i} 2 byte)
      if(ended)
        set(byte "00")
      elseif(byte STREQUAL "00")
        set(ended TRUE)
      endif()
      string(APPEND clean "${byte}")
    endforeach()
    string(APPEND result "${before}${clean}")
    math(EXPR done "${start} + 64")
  endforeach()
  string(SUBSTRING "${hex}" ${done} -1 rest)
  set(${out_var} "${result}${rest}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Usage errors give status 2, help 0.
run_cli(0 rtm --help)
run_cli(0 rtm info --help)
run_cli(2 rtm info)
run_cli(2 rtm copy ${WORK}/a.rtm)
run_cli(2 rtm info ${WORK}/a.rtm --bogus)
run_cli(2 p3d pose ${WORK}/m.p3d ${WORK}/a.rtm ${WORK}/out.obj)
run_cli(2 p3d pose ${WORK}/m.p3d ${WORK}/a.rtm ${WORK}/out.obj --frame one)
run_cli(2 p3d pose ${WORK}/m.p3d ${WORK}/a.rtm ${WORK}/out.obj --frame -1)
run_cli(1 rtm info ${WORK}/missing.rtm)
expect_match("${cli_err}" "Cannot open" "missing file")

# A file that is not an animation.
file(WRITE ${WORK}/text.rtm "hello world, this is no animation at all")
run_cli(1 rtm info ${WORK}/text.rtm)
expect_match("${cli_err}" "Cannot load animation" "unexpected refusal text")
# Too short for its header: the read error.
file(WRITE ${WORK}/short.rtm "RTM_0101")
run_cli(1 rtm copy ${WORK}/short.rtm ${WORK}/short-copy.rtm)
if(NOT cli_err MATCHES "Error read operation due to file possibly corrupted." OR EXISTS ${WORK}/short-copy.rtm)
  message(FATAL_ERROR "truncated file: ${cli_err}")
endif()

# Every real animation: info, copy back to the same bytes but the name padding,
# refused with one byte appended.
file(GLOB animations ${REALDATA}/rtm/*.rtm)
foreach(animation ${animations})
  get_filename_component(name ${animation} NAME)
  run_cli(0 rtm info ${animation})
  expect_full_stdout_refused(rtm info ${animation} --json)
  if(NOT cli_out MATCHES "Bones: [1-9]" OR NOT cli_out MATCHES "Frames: [1-9]")
    message(FATAL_ERROR "${name}: unexpected info\n${cli_out}")
  endif()
  run_cli(0 rtm info ${animation} --json)
  string(JSON bone_count LENGTH "${cli_out}" bones)
  string(JSON frame_count LENGTH "${cli_out}" frames)
  math(EXPR last "${frame_count} - 1")
  string(JSON last_time GET "${cli_out}" frames ${last} time)
  message(STATUS "${name}: ${bone_count} bones, ${frame_count} frames, the last at ${last_time}")

  run_cli(0 rtm copy ${animation} ${WORK}/${name})
  hex_without_name_junk(${animation} original)
  file(READ ${WORK}/${name} copy HEX)
  if(NOT original STREQUAL copy)
    message(FATAL_ERROR "${name}: the copy differs from the original beyond the name padding")
  endif()

  configure_file(${animation} ${WORK}/appended-${name} COPYONLY)
  file(APPEND ${WORK}/appended-${name} "x")
  run_cli(1 rtm info ${WORK}/appended-${name})
endforeach()
list(LENGTH animations animation_count)
message(STATUS "${animation_count} real animations checked")

# Posing: the generated two-bone arm, frame 1 moves bone1 by +1 and bone2 by
# +3 in z, the shared points to +2; Total Move (0, 0, 4) at time 0.5 adds 2.
# The arm comes from the demo data, or else from the demo game's add-on
# archive beside it (AddOns\demo.pbo: arm.p3d, anims\arm.rtm).
set(arm ${DEMO_DIR}/twobone.p3d)
set(arm_animation ${DEMO_DIR}/twobone.rtm)
set(demo_addon ${DEMO_DIR}/../demo-game/AddOns/demo.pbo)
if((NOT EXISTS ${arm} OR NOT EXISTS ${arm_animation}) AND EXISTS ${demo_addon})
  run_cli(0 pbo extract ${demo_addon} ${WORK}/arm "arm.p3d" "anims\\arm.rtm")
  set(arm ${WORK}/arm/arm.p3d)
  set(arm_animation ${WORK}/arm/anims/arm.rtm)
endif()
if(NOT EXISTS ${arm} OR NOT EXISTS ${arm_animation})
  message(FATAL_ERROR "no generated two-bone arm in ${DEMO_DIR} nor in ${demo_addon}: build demo-data and demo-game")
endif()
run_cli(1 p3d pose ${arm} ${arm_animation} ${WORK}/far.obj --frame 3)
expect_match("${cli_err}" "has 3 frames" "frame out of range")

function(check_pose obj_base expected)
  # One file per LOD: the arm has one.
  set(obj ${obj_base}.obj)
  if(NOT EXISTS ${obj})
    set(obj ${obj_base}.0.obj)
  endif()
  file(STRINGS ${obj} lines REGEX "^v ")
  string(REPLACE "\r" "" lines "${lines}")
  # A turn leaves a rounding error that prints as -0.000000.
  string(REPLACE " -0.000000" " 0.000000" lines "${lines}")
  if(NOT lines STREQUAL "${expected}")
    message(FATAL_ERROR "${obj}: vertices\n  ${lines}\nexpected\n  ${expected}")
  endif()
endfunction()

# "v x z y", one line per vertex: points 0 1 3 2 of the lower quad, 2 3 5 4 of the upper.
run_cli(0 p3d pose ${arm} ${arm_animation} --frame 1 ${WORK}/posed.obj)
check_pose(${WORK}/posed
  "v 0.000000 3.000000 0.000000;v 1.000000 3.000000 0.000000;v 1.000000 4.000000 1.000000;v 0.000000 4.000000 1.000000;v 0.000000 4.000000 1.000000;v 1.000000 4.000000 1.000000;v 1.000000 5.000000 2.000000;v 0.000000 5.000000 2.000000")
run_cli(0 p3d pose ${arm} ${arm_animation} --frame 1 ${WORK}/plain.obj --no-total-move)
check_pose(${WORK}/plain
  "v 0.000000 1.000000 0.000000;v 1.000000 1.000000 0.000000;v 1.000000 2.000000 1.000000;v 0.000000 2.000000 1.000000;v 0.000000 2.000000 1.000000;v 1.000000 2.000000 1.000000;v 1.000000 3.000000 2.000000;v 0.000000 3.000000 2.000000")

# Frame 2 turns bone2 a quarter about +Y (x goes to -z) and leaves bone1: the
# shared point 3 ends halfway, at (0.5, 1, -0.5); the frame's time is 1, so
# Total Move adds the whole (0, 0, 4).
run_cli(0 p3d pose ${arm} ${arm_animation} --frame 2 ${WORK}/turned.obj --no-total-move)
check_pose(${WORK}/turned
  "v 0.000000 0.000000 0.000000;v 1.000000 0.000000 0.000000;v 0.500000 -0.500000 1.000000;v 0.000000 0.000000 1.000000;v 0.000000 0.000000 1.000000;v 0.500000 -0.500000 1.000000;v 0.000000 -1.000000 2.000000;v 0.000000 0.000000 2.000000")
run_cli(0 p3d pose ${arm} ${arm_animation} --frame 2 ${WORK}/turned-moved.obj)
check_pose(${WORK}/turned-moved
  "v 0.000000 4.000000 0.000000;v 1.000000 4.000000 0.000000;v 0.500000 3.500000 1.000000;v 0.000000 4.000000 1.000000;v 0.000000 4.000000 1.000000;v 0.500000 3.500000 1.000000;v 0.000000 3.000000 2.000000;v 0.000000 4.000000 2.000000")
