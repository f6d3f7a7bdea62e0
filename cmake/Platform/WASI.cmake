# The WASI platform, for CMake versions before 3.31, which do not know it.
set(WASI 1)
