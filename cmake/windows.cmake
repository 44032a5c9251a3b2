# What the Windows build (cmake/mingw-w64-x86_64.cmake) takes from the build
# machine: the header-only libraries copied out of /usr/include, so that the
# host's other headers stay out of the cross build, and GoogleTest built from
# its sources for Windows.

set(VEXTUNE_HOST_INCLUDE_DIR /usr/include CACHE PATH
    "Where the build machine's CLI11 and nlohmann-json headers are")
set(VEXTUNE_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built for Windows with the tests")

set(vextune_third_party_include ${PROJECT_BINARY_DIR}/third_party/include)
foreach(dir CLI nlohmann)
  if(NOT EXISTS ${VEXTUNE_HOST_INCLUDE_DIR}/${dir})
    message(FATAL_ERROR "${VEXTUNE_HOST_INCLUDE_DIR}/${dir} is missing: run scripts/install-deps.sh")
  endif()
  file(COPY ${VEXTUNE_HOST_INCLUDE_DIR}/${dir} DESTINATION ${vextune_third_party_include})
endforeach()

# The packages' own config files would add /usr/include itself; these targets
# stand in for them (find_package finds them through CLI11_DIR and
# nlohmann_json_DIR, see cmake/windows-packages).
set(CLI11_DIR ${PROJECT_SOURCE_DIR}/cmake/windows-packages CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${PROJECT_SOURCE_DIR}/cmake/windows-packages CACHE PATH "" FORCE)
set(VEXTUNE_THIRD_PARTY_INCLUDE ${vextune_third_party_include} CACHE INTERNAL "")

# Everything is linked statically, also the C++ runtime and winpthreads: the
# programs run from their folder without DLLs beside them.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows 7 and later; <windows.h> without its min and max macros.
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

if(VEXTUNE_BUILD_TESTS)
  if(NOT EXISTS ${VEXTUNE_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "${VEXTUNE_GOOGLETEST_SOURCE_DIR} is missing: run scripts/install-deps.sh --windows")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VEXTUNE_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    # GoogleTest's own sources are not ours to warn about.
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
  # GoogleTest names its targets GTest::gtest and so on itself.
endif()
