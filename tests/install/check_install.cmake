# Installs the build tree into a fresh PREFIX and checks that every expected
# file arrives: programs executable (and the command line tool runs), PNG
# icons of the size their folder names, the installed desktop entry valid.
#
# cmake -DBUILD_DIR=... -DPREFIX=... -DEXPECTED_FILES=a;b -DEXPECTED_PNGS=c;d
#       -DDESKTOP_FILE_VALIDATE=... -DBINDIR=bin -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(failures "")
foreach(relative IN LISTS EXPECTED_FILES EXPECTED_PNGS)
  if(NOT EXISTS "${PREFIX}/${relative}")
    string(APPEND failures "missing: ${relative}\n")
  endif()
endforeach()

foreach(relative IN LISTS EXPECTED_FILES)
  if(relative MATCHES "^${BINDIR}/" AND EXISTS "${PREFIX}/${relative}")
    file(READ "${PREFIX}/${relative}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
      string(APPEND failures "not a program: ${relative}\n")
    endif()
  endif()
endforeach()

# The width and height of a PNG are the big-endian words at bytes 16 and 20.
foreach(relative IN LISTS EXPECTED_PNGS)
  if(EXISTS "${PREFIX}/${relative}" AND relative MATCHES "/([0-9]+)x([0-9]+)/")
    set(expected_width ${CMAKE_MATCH_1})
    set(expected_height ${CMAKE_MATCH_2})
    file(READ "${PREFIX}/${relative}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width_hex)
    string(SUBSTRING "${header}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
      string(APPEND failures "not a PNG: ${relative}\n")
    elseif(NOT width EQUAL expected_width OR NOT height EQUAL expected_height)
      string(APPEND failures "${relative} is ${width}x${height}\n")
    endif()
  endif()
endforeach()

set(cli "${PREFIX}/${BINDIR}/vextune-cli")
if(EXISTS "${cli}")
  execute_process(COMMAND "${cli}" --help RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    string(APPEND failures "installed vextune-cli --help exits with ${result}\n")
  endif()
endif()

foreach(relative IN LISTS EXPECTED_FILES)
  if(relative MATCHES "\\.desktop$" AND EXISTS "${PREFIX}/${relative}")
    execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/${relative}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
      string(APPEND failures "installed ${relative} is not valid:\n${output}\n")
    endif()
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "The installed tree is incomplete:\n${failures}")
endif()
list(LENGTH EXPECTED_FILES file_count)
list(LENGTH EXPECTED_PNGS png_count)
message(STATUS "Installed ${file_count} files and ${png_count} icon sizes into ${PREFIX}")
