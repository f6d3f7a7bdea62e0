# Cross-builds quorvil.exe and its tests as mingw-w64-x86_64.cmake does, but
# against the Universal C Runtime (UCRT) of Windows 10 and 11, which Visual
# Studio and MSYS2's UCRT64 environment link, with Debian 13's mingw-w64 for
# it (package g++-mingw-w64-ucrt64), whose thread model is posix too:
#   cmake -S . -B build-win-ucrt \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64-ucrt.cmake
set(QUORVIL_MINGW_TARGET x86_64-w64-mingw32ucrt)
set(QUORVIL_MINGW_COMPILERS x86_64-w64-mingw32ucrt-gcc x86_64-w64-mingw32ucrt-g++)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
