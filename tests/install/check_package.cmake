# Builds the Debian package of the build tree with CPack, unpacks it into a
# fresh root with dpkg-deb -x and runs the programs from there: a package
# whose programs run, with its dependencies computed.
#
# cmake -DBUILD_DIR=... -DWORK=... -DVERSION=... -DEXPECTED_FILES=a;b
#       -DEXPECTED_DEPENDS=libc6;... -P check_package.cmake

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB packages "${WORK}/*.deb")
list(LENGTH packages count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages (${result}):\n${output}")
endif()

set(failures "")
execute_process(COMMAND dpkg-deb -f "${packages}" Depends OUTPUT_VARIABLE depends
                OUTPUT_STRIP_TRAILING_WHITESPACE)
# Each dependency as a whole name: "libc6 (>= 2.34), libstdc++6 (>= 12)".
string(REGEX REPLACE " \\([^)]*\\)" "" names "${depends}")
string(REPLACE ", " ";" names "${names}")
foreach(library IN LISTS EXPECTED_DEPENDS)
  if(NOT library IN_LIST names)
    string(APPEND failures "Depends lacks ${library}: ${depends}\n")
  endif()
endforeach()

set(root "${WORK}/root")
execute_process(COMMAND dpkg-deb -x "${packages}" "${root}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed (${result})")
endif()
foreach(relative IN LISTS EXPECTED_FILES)
  if(NOT EXISTS "${root}/${relative}")
    string(APPEND failures "missing: /${relative}\n")
  endif()
endforeach()

set(cli "${root}/usr/bin/vextune-cli")
execute_process(COMMAND "${cli}" --version RESULT_VARIABLE result OUTPUT_VARIABLE version_line
                ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT version_line STREQUAL "vextune-cli ${VERSION}\n")
  string(APPEND failures "vextune-cli --version: ${result} \"${version_line}\" ${error}\n")
endif()
execute_process(COMMAND "${cli}" defaults "${WORK}/default.vxg" RESULT_VARIABLE result
                ERROR_VARIABLE error)
file(SIZE "${WORK}/default.vxg" size)
if(NOT result EQUAL 0 OR NOT size EQUAL 208)
  string(APPEND failures "vextune-cli defaults: ${result}, ${size} bytes ${error}\n")
endif()
execute_process(COMMAND "${cli}" show "${WORK}/default.vxg" RESULT_VARIABLE result
                OUTPUT_VARIABLE shown ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT shown MATCHES "m_TxDelay +T +25\n")
  string(APPEND failures "vextune-cli show of the defaults: ${result} ${error}\n")
endif()
execute_process(COMMAND "${root}/usr/bin/davozi-sim" --version RESULT_VARIABLE result
                OUTPUT_VARIABLE version_line)
if(NOT result EQUAL 0 OR NOT version_line STREQUAL "davozi-sim ${VERSION}\n")
  string(APPEND failures "davozi-sim --version: ${result} \"${version_line}\"\n")
endif()

if(failures)
  message(FATAL_ERROR "The package is not right:\n${failures}")
endif()
message(STATUS "${packages}: Depends: ${depends}")
