# Test of make package-windows (cmake -P): packs into WORK as the target does,
# then checks that the zip holds the program, the README and every licence
# text, and that the program needs no DLL beyond the system's own.
set(stage ${WORK}/vextune-windows)
set(zip ${WORK}/vextune-windows.zip)
file(REMOVE_RECURSE ${WORK})
execute_process(
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DZIP=${zip} -DPROGRAM=${PROGRAM} -DSTRIP=${STRIP}
          -DREADME=${README} "-DLICENSES=${LICENSES}" -P ${CMAKE_CURRENT_LIST_DIR}/make_zip.cmake
  RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "packing failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing
                RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "the zip cannot be read")
endif()
set(expected vextune-windows/vextune-cli.exe vextune-windows/README.txt)
foreach(pair IN LISTS LICENSES)
  string(REGEX REPLACE "=.*" "" name "${pair}")
  list(APPEND expected vextune-windows/licenses/${name})
endforeach()
foreach(name IN LISTS expected)
  string(FIND "${listing}" "${name}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name} is missing from the zip:\n${listing}")
  endif()
endforeach()

# Linked statically: only system DLLs may be imported.
execute_process(COMMAND ${OBJDUMP} -p ${stage}/vextune-cli.exe OUTPUT_VARIABLE headers
                RESULT_VARIABLE dumped)
if(NOT dumped EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read vextune-cli.exe")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${headers}")
foreach(dll IN LISTS dlls)
  string(REPLACE "DLL Name: " "" dll "${dll}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|advapi32|msvcrt|setupapi|user32|ws2_32)\\.dll$")
    message(FATAL_ERROR "vextune-cli.exe needs ${dll}, which Windows does not bring")
  endif()
endforeach()
message(STATUS "zip complete; system DLLs only: ${dlls}")
