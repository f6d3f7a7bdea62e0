# Cross-builds a self-contained 64-bit Windows quorvil.exe, and its tests,
# with Debian's mingw-w64 (packages g++-mingw-w64-x86-64-posix and
# gcc-mingw-w64-x86-64-posix), against the C runtime Windows has always
# carried, msvcrt.dll:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   cmake --build build-win
# With wine installed, ctest in build-win runs the tests under it.
# mingw-w64-x86_64-ucrt.cmake builds against the Universal C Runtime instead,
# with the compilers named in QUORVIL_MINGW_COMPILERS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix compilers' thread model has std::mutex, which GoogleTest needs;
# GoogleTest's build also enables C.
if(NOT QUORVIL_MINGW_TARGET)
  set(QUORVIL_MINGW_TARGET x86_64-w64-mingw32)
  set(QUORVIL_MINGW_COMPILERS x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix)
endif()
list(GET QUORVIL_MINGW_COMPILERS 0 CMAKE_C_COMPILER)
list(GET QUORVIL_MINGW_COMPILERS 1 CMAKE_CXX_COMPILER)
set(CMAKE_RC_COMPILER ${QUORVIL_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVIL_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes linked in, so that the program needs no DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs built here run under wine, in a wine prefix of the build tree's
# own that wine-run makes on first use.
find_program(QUORVIL_WINE wine)
if(QUORVIL_WINE AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wine")
endif()
