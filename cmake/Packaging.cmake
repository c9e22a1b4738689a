# The Debian package of the recorder and qel-te-analyze: `cpack` in the build tree (scripts/package.sh) writes
# <name>_<version>_<arch>.deb of everything the install() rules install, below /usr. Name, version and summary
# come from project(), the longer text and the maintainer from the top CMakeLists.txt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DESCRIPTION "${QEL_LONG_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "${QEL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QEL_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Depends: computed by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts are not linked, so dpkg-shlibdeps cannot see them: the window asks for Arial, Courier New and
# Tahoma, which fontconfig maps to Liberation and the program takes from Wine's fonts. Without them it still
# runs, with other fonts whose widths crowd the fixed layout: recommended (apt installs them), not required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-wine")

include(CPack)
