# The packages that `cmake --build build --target package` writes: a Debian
# package and a .tar.gz on Linux, a .zip in the Windows cross build. Each
# holds what `cmake --install` installs.
set(CPACK_PACKAGE_NAME quorvil)
set(CPACK_PACKAGE_VENDOR "Quorvil developers")
set(CPACK_PACKAGE_CONTACT "Quorvil developers <quorvil@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
Quorvil keeps a list of shapes (lines, circles and rectangles) in memory.
At its menu the user types numbers to insert a shape, delete shapes by
their index, view all shapes, each as its kind name on a line, or exit.
Nothing is saved.

The dialogue is Korean text in code page 949 (EUC-KR). On a UTF-8
terminal, read it through luit, which converts both ways:
luit -encoding eucKR quorvil]])
set(CPACK_STRIP_FILES ON)
# A .sha256 file beside each package, for sha256sum -c.
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/pack-in-utc.cmake)

if(WIN32)
  # quorvil-VERSION-win64.zip: one folder with quorvil.exe, the README and
  # the licence.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  # The architecture the packages are for, as Debian names it: the cross
  # build's, else this machine's as dpkg names it, else the processor's.
  find_program(QUORVIL_DPKG dpkg)
  mark_as_advanced(QUORVIL_DPKG)
  if(QUORVIL_DEBIAN_ARCH)
    set(architecture ${QUORVIL_DEBIAN_ARCH})
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${architecture})
  elseif(QUORVIL_DPKG)
    execute_process(COMMAND ${QUORVIL_DPKG} --print-architecture
      OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
  else()
    string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" architecture)
  endif()
  # quorvil-VERSION-Linux-ARCH.tar.gz, to unpack into a prefix such as
  # /usr/local; and on a system with dpkg, quorvil_VERSION_ARCH.deb. CPack
  # looks for what the .deb needs when it packs, not here, so that it may be
  # installed after the build is configured: dpkg-shlibdeps (package
  # dpkg-dev), which finds its Depends, and file, with which CPack picks out
  # the programs to hand to it.
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${architecture})
  set(CPACK_GENERATOR TGZ)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  if(QUORVIL_DPKG)
    list(PREPEND CPACK_GENERATOR DEB)
  else()
    message(STATUS "No dpkg: the package target writes the .tar.gz alone")
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  # Depends: the shared libraries the program links, as dpkg-shlibdeps
  # finds them; for another architecture, in its multiarch libraries.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Nearly every Linux terminal is UTF-8, where the dialogue is unreadable
  # without luit to convert it: an installation without luit is the unusual
  # one. Before 7.7+6, x11-utils carried a luit of its own, and the luit
  # package breaks those versions; so where such an x11-utils is installed,
  # its luit is taken instead of removing it and what depends on it. That
  # older luit reads EUC-KR only with the encoding files of
  # xfonts-encodings, which luit 2.0 does not need.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "luit | x11-utils (<< 7.7+6), xfonts-encodings | luit (>= 2)")
endif()

include(CPack)
