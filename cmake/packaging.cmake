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
# quorvil_1.1.2_amd64.deb.sha256 and so on beside each package, for
# sha256sum -c.
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/pack-in-utc.cmake)

if(WIN32)
  # quorvil-1.1.2-win64.zip: one folder with quorvil.exe, the README and the
  # licence.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  # quorvil_1.1.2_amd64.deb, and quorvil-1.1.2-Linux.tar.gz to unpack into a
  # prefix such as /usr/local.
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  # Depends: the shared libraries the program links, as dpkg-shlibdeps
  # (package dpkg-dev) finds them.
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
