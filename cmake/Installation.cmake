# SPDX-License-Identifier: GPL-3.0-or-later
# Installation of the program and its manual page, and the Debian package
# built from them by `cpack -G DEB` in the build folder.
include(GNUInstallDirs)

install(TARGETS sommes-diviseurs RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page is installed compressed with gzip -9n, as Debian packages
# carry it (-n leaves out the name and date, so the file is reproducible),
# or as plain roff when gzip is missing.
set(SD_PAGE_MANUEL ${CMAKE_CURRENT_SOURCE_DIR}/doc/sommes-diviseurs.1)
find_program(SD_GZIP gzip)
if(SD_GZIP)
  set(SD_PAGE_COPIE ${CMAKE_CURRENT_BINARY_DIR}/man/sommes-diviseurs.1)
  add_custom_command(
    OUTPUT ${SD_PAGE_COPIE}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${SD_PAGE_MANUEL} ${SD_PAGE_COPIE}
    COMMAND ${SD_GZIP} -9 -n -f ${SD_PAGE_COPIE}
    DEPENDS ${SD_PAGE_MANUEL}
    COMMENT "Compression de la page de manuel"
    VERBATIM)
  add_custom_target(page-manuel ALL DEPENDS ${SD_PAGE_COPIE}.gz)
  # Building the program alone also prepares what its installation needs.
  add_dependencies(sommes-diviseurs page-manuel)
  install(FILES ${SD_PAGE_COPIE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${SD_PAGE_MANUEL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# Debian package.
set(SD_CONTACT "Équipe sommes-diviseurs <sommes-diviseurs@example.org>"
  CACHE STRING "Maintainer written in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sommes-diviseurs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SD_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "diviseurs propres et sommes de diviseurs égales à N")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

set(CPACK_DEBIAN_PACKAGE_NAME sommes-diviseurs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SD_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary line above comes first; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Programme interactif en français pour terminal. Pour chaque entier N d'un
intervalle choisi, il décompose N en facteurs premiers, donne le nombre et
la somme de ses diviseurs propres, dit si N est déficient, parfait ou
abondant et, pour un nombre abondant, compte exactement les ensembles de
diviseurs propres dont la somme vaut N.")

# The GMP libraries the program is linked with become the package's runtime
# dependencies: read from the binary by dpkg-shlibdeps when it is there,
# otherwise named here.
find_program(SD_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SD_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgmp10, libgmpxx4ldbl, libstdc++6, libc6")
endif()

include(CPack)
