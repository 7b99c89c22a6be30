# "make package": a Debian package of the programs, the help file and the desktop files, made by
# CPack from the install rules. Its dependencies are found from the programs' shared libraries
# by dpkg-shlibdeps (dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelmak)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Emulator of a rotor cipher machine with turning discs")
# One string, broken into lines of Debian's width.
set(CPACK_PACKAGE_DESCRIPTION "\
Zelmak emulates a rotor cipher machine with a 31-symbol keyboard, a cipher\n\
card and five cipher discs that step in both directions on every key. Type on\n\
the on-screen keyboard or run whole texts through the machine, in Cipher or\n\
Decipher mode, and keep key settings in key files. The package holds the\n\
window program zelmak, the command-line companion zelmak-cli, the converter\n\
zelmak-converter, which makes ordinary text ready for the machine, and\n\
zelmak-break, which finds the setting of a message from a crib or a key sheet,\n\
on every core and, with Open MPI, across machines.")
set(ZELMAK_PACKAGE_MAINTAINER "Zelmak developers <zelmak@users.noreply.github.com>"
  CACHE STRING "The Maintainer line of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZELMAK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
