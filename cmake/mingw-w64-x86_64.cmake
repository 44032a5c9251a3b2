# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, the POSIX-threads
# variant of the compiler (std::thread and std::mutex need it).
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEXTUNE_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VEXTUNE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXTUNE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VEXTUNE_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VEXTUNE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools built here run under Wine.
find_program(VEXTUNE_WINE NAMES wine wine64)
if(VEXTUNE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXTUNE_WINE})
endif()
