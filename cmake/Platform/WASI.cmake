# The WASI platform, for the CMake versions before 3.31, which do not know
# it, and for those after, which know it but give its programs no suffix.
set(WASI 1)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
