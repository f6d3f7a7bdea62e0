# Cross-builds quorvil, its tests and its packages for another Debian
# architecture with Debian's cross compiler (package g++-TRIPLET, such as
# g++-aarch64-linux-gnu), against the target's own libraries installed
# through multiarch (libc6:ARCH, libstdc++6:ARCH, libgtest-dev:ARCH), and runs
# the tests under qemu-user (package qemu-user-static, or qemu-user):
#   cmake -S . -B build-arm64 -DQUORVIL_DEBIAN_ARCH=arm64 \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake
# The presets named after the architectures do the same.
set(QUORVIL_DEBIAN_ARCH "" CACHE STRING
  "Debian architecture to build for: arm64, armel, armhf, ppc64el, riscv64 or s390x")
# The compiler checks run in projects of their own, which see the
# architecture only if it is handed on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUORVIL_DEBIAN_ARCH)

# Each architecture, then its GNU triplet, its processor and qemu-user's
# name for it.
set(quorvil_architectures
  arm64   aarch64-linux-gnu     aarch64 aarch64
  armel   arm-linux-gnueabi     arm     arm
  armhf   arm-linux-gnueabihf   arm     arm
  ppc64el powerpc64le-linux-gnu ppc64le ppc64le
  riscv64 riscv64-linux-gnu     riscv64 riscv64
  s390x   s390x-linux-gnu       s390x   s390x)
list(FIND quorvil_architectures "${QUORVIL_DEBIAN_ARCH}" at)
math(EXPR column "${at} % 4")
if(at EQUAL -1 OR NOT column EQUAL 0)
  message(FATAL_ERROR "QUORVIL_DEBIAN_ARCH is '${QUORVIL_DEBIAN_ARCH}'; "
    "set it to arm64, armel, armhf, ppc64el, riscv64 or s390x")
endif()
math(EXPR at "${at} + 1")
list(SUBLIST quorvil_architectures ${at} 3 found)
list(GET found 0 triplet)
list(GET found 1 processor)
list(GET found 2 qemu)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${processor})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})

# The target's loader and libraries lie where the target looks for them, so
# qemu-user runs the programs built here as they are.
find_program(QUORVIL_QEMU NAMES qemu-${qemu}-static qemu-${qemu})
if(QUORVIL_QEMU AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVIL_QEMU})
endif()
