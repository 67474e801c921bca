# SPDX-License-Identifier: GPL-3.0-or-later
# Installation of the program and its manual page, and the Debian package
# built from them by `cpack -G DEB` in the build folder.
include(GNUInstallDirs)

install(TARGETS sommes-diviseurs RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The program stripped for a package (cpack, or cmake --install --strip) also
# loses the compiler's notes, as dh_strip leaves Debian's binaries.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/sommes-diviseurs\")
    endif()")
endif()

# The manual page and the Debian changelog are installed compressed with
# gzip -9n, as Debian packages carry them (-n leaves out the name and date,
# so the file is reproducible), or as plain text when gzip is missing. The
# copyright file, in Debian's machine-readable format, goes beside the
# changelog.
set(SD_PAGE_MANUEL ${CMAKE_CURRENT_SOURCE_DIR}/doc/sommes-diviseurs.1)
set(SD_JOURNAL ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog)
set(SD_DOC_PAQUET ${CMAKE_INSTALL_DATAROOTDIR}/doc/sommes-diviseurs)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${SD_DOC_PAQUET})
# What lintian is told to accept in the package, each with its reason.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME sommes-diviseurs)
find_program(SD_GZIP gzip)
if(SD_GZIP)
  set(SD_PAGE_COPIE ${CMAKE_CURRENT_BINARY_DIR}/man/sommes-diviseurs.1)
  set(SD_JOURNAL_COPIE ${CMAKE_CURRENT_BINARY_DIR}/paquet/changelog.Debian)
  foreach(paire "${SD_PAGE_MANUEL};${SD_PAGE_COPIE}" "${SD_JOURNAL};${SD_JOURNAL_COPIE}")
    list(GET paire 0 source)
    list(GET paire 1 copie)
    get_filename_component(dossier ${copie} DIRECTORY)
    add_custom_command(
      OUTPUT ${copie}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dossier}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copie}
      COMMAND ${SD_GZIP} -9 -n -f ${copie}
      DEPENDS ${source}
      COMMENT "Compression de ${copie}"
      VERBATIM)
  endforeach()
  add_custom_target(documents ALL DEPENDS ${SD_PAGE_COPIE}.gz ${SD_JOURNAL_COPIE}.gz)
  # Building the program alone also prepares what its installation needs.
  add_dependencies(sommes-diviseurs documents)
  install(FILES ${SD_PAGE_COPIE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SD_JOURNAL_COPIE}.gz DESTINATION ${SD_DOC_PAQUET})
else()
  install(FILES ${SD_PAGE_MANUEL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SD_JOURNAL} DESTINATION ${SD_DOC_PAQUET} RENAME changelog.Debian)
endif()

# Debian package.
set(SD_CONTACT "Équipe sommes-diviseurs <sommes-diviseurs@example.org>"
  CACHE STRING "Maintainer written in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sommes-diviseurs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first revision of the Debian package of this version: its number is
# the one of the latest entry of cmake/debian/changelog.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
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
intervalle choisi, il écrit le nombre et la somme des diviseurs propres de N,
dit si N est déficient, parfait ou abondant et, pour un nombre abondant,
compte exactement les ensembles de diviseurs propres distincts de somme N.
Un nombre abondant qui n'en a aucun (un nombre bizarre) est marqué.")

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
