# Cross-builds quorvil as WebAssembly for WASI, build-wasi/quorvil.wasm, with
# Debian's clang and its WASI libraries (packages clang, lld, llvm, binaryen,
# wasi-libc, libc++-dev-wasm32 and libclang-rt-dev-wasm32), and runs it
# under Node.js (package nodejs) through wasi-run:
#   cmake -S . -B build-wasi -DCMAKE_TOOLCHAIN_FILE=cmake/wasi.cmake
# The wasi preset does the same.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)

# The libraries of WebAssembly objects need LLVM's archiver, which indexes
# their symbols; GNU ar cannot.
find_program(QUORVIL_LLVM_AR llvm-ar)
find_program(QUORVIL_LLVM_RANLIB llvm-ranlib)
if(NOT QUORVIL_LLVM_AR OR NOT QUORVIL_LLVM_RANLIB)
  message(FATAL_ERROR "llvm-ar and llvm-ranlib (package llvm) are needed for WebAssembly")
endif()
set(CMAKE_AR ${QUORVIL_LLVM_AR})
set(CMAKE_RANLIB ${QUORVIL_LLVM_RANLIB})

# Where clang finds binaryen's wasm-opt, it runs it on every module it links
# while optimising, which then comes out smaller and with other bytes: it is
# required, so that the module is the same whatever else is installed.
find_program(QUORVIL_WASM_OPT wasm-opt)
if(NOT QUORVIL_WASM_OPT)
  message(FATAL_ERROR "wasm-opt (package binaryen) is needed for WebAssembly")
endif()

# The programs built here run under Node.js, through the runner beside this
# file.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wasi-run)
endif()
