# What is installed, and the two Debian packages CPack makes of it:
#   kesta                     the program, stripped, with its manual page, desktop entry, icons,
#                             software centre description, copyright and changelog;
#   kesta-recorder-simulator  the recorder stand-in, which must never come with the program.
# ./package.sh builds them from a Release build and checks them with lintian; `cpack` in any
# configured build folder makes them from what that folder built.

set(KESTA_PACKAGE_MAINTAINER "Kesta developers <packages@kesta.invalid>"
    CACHE STRING "Maintainer field of the packages and their changelog")

set(_package "${PROJECT_BINARY_DIR}/package")
configure_file(docs/kesta.1 "${_package}/kesta.1" @ONLY)
configure_file(resources/kesta.metainfo.xml.in "${_package}/invalid.kesta.kesta.metainfo.xml" @ONLY)
configure_file(resources/package/copyright.in "${_package}/copyright" @ONLY)
configure_file(resources/package/changelog.in "${_package}/changelog" @ONLY)

# Debian keeps manual pages and changelogs compressed; without a name or time stamp inside, two
# builds of the same sources give the same files.
add_custom_command(OUTPUT "${_package}/kesta.1.gz" "${_package}/changelog.gz"
    COMMAND gzip -9nkf "${_package}/kesta.1" "${_package}/changelog"
    DEPENDS "${_package}/kesta.1" "${_package}/changelog"
    VERBATIM)

set(_icon_sizes 48 64 128 256)
set(_icons "")
foreach(_size ${_icon_sizes})
    list(APPEND _icons "${_package}/icons/${_size}x${_size}/apps/kesta.png")
endforeach()
add_custom_command(OUTPUT ${_icons}
    COMMAND kesta_appicon "${PROJECT_SOURCE_DIR}/resources/kesta.svg" "${_package}/icons" ${_icon_sizes}
    DEPENDS kesta_appicon resources/kesta.svg
    VERBATIM)
add_custom_target(package_files ALL DEPENDS "${_package}/kesta.1.gz" "${_package}/changelog.gz" ${_icons})

# The program itself is installed by src/CMakeLists.txt, in this component too.
set(_datadir "${CMAKE_INSTALL_DATADIR}")
install(FILES resources/kesta.desktop DESTINATION "${_datadir}/applications" COMPONENT kesta)
install(FILES resources/kesta.svg DESTINATION "${_datadir}/icons/hicolor/scalable/apps" COMPONENT kesta)
install(DIRECTORY "${_package}/icons/" DESTINATION "${_datadir}/icons/hicolor" COMPONENT kesta)
install(FILES "${_package}/invalid.kesta.kesta.metainfo.xml" DESTINATION "${_datadir}/metainfo"
    COMPONENT kesta)
install(FILES "${_package}/kesta.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT kesta)
install(FILES "${_package}/copyright" "${_package}/changelog.gz" DESTINATION "${_datadir}/doc/kesta"
    COMPONENT kesta)

# The simulator goes where the launcher looks after the program's own folder: in the second of
# the recorder's folders, so that a real recorder in the first one wins. Only its package
# installs it; a plain `cmake --install` leaves it out.
install(TARGETS kesta_recorder RUNTIME DESTINATION /opt/Orvalis COMPONENT simulator EXCLUDE_FROM_ALL)
install(FILES "${_package}/copyright" "${_package}/changelog.gz"
    DESTINATION "${_datadir}/doc/kesta-recorder-simulator" COMPONENT simulator EXCLUDE_FROM_ALL)
install(FILES resources/package/kesta-recorder-simulator.lintian-overrides
    DESTINATION "${_datadir}/lintian/overrides" RENAME kesta-recorder-simulator
    COMPONENT simulator EXCLUDE_FROM_ALL)

# Full RELRO: the relocation tables of what a clinic runs are read-only once it is loaded.
foreach(_program kesta kesta_recorder)
    target_link_options(${_program} PRIVATE "LINKER:-z,relro,-z,now")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kesta)
set(CPACK_PACKAGE_VENDOR "Kesta developers")
set(CPACK_PACKAGE_CONTACT "${KESTA_PACKAGE_MAINTAINER}")
# The simulator's absolute folder lands in the package, not on this machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kesta simulator)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTA_WEB_ADDRESS}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Each package's description starts with its own synopsis line, so CPACK_PACKAGE_DESCRIPTION_SUMMARY
# stays unset: CPack would put it in front of both.
set(CPACK_DEBIAN_KESTA_PACKAGE_NAME kesta)
# Beside the libraries the program links: the database drivers, Qt's own texts and OpenSSL,
# which Qt loads only when they are first needed.
set(CPACK_DEBIAN_KESTA_PACKAGE_DEPENDS "libqt5sql5-sqlite, libqt5sql5-psql, qttranslations5-l10n, libssl3")
# Opening a recording in a viewer or a folder in the file manager; the version check's
# certificates.
set(CPACK_DEBIAN_KESTA_PACKAGE_RECOMMENDS "xdg-utils, ca-certificates")
# pg_dump for backups of a server database; an EDF viewer for the recordings.
set(CPACK_DEBIAN_KESTA_PACKAGE_SUGGESTS "postgresql-client, edfbrowser")
set(CPACK_DEBIAN_KESTA_DESCRIPTION "patient database of an EEG workstation
Kesta keeps the patients of an EEG workstation: their cards, their EDF
recordings in one folder per patient and the history of every change. It
starts the recorder for the selected patient and registers each recording
the recorder reports. Each workstation keeps its own SQLite database, or
several share one PostgreSQL server.")

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME kesta-recorder-simulator)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_DEPENDS "kesta (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SIMULATOR_DESCRIPTION "recorder simulator for Kesta, for demonstrations and tests
A stand-in for the EEG recorder that Kesta starts for a patient: it asks
Kesta for the patient over the exchange, records a few seconds of synthetic
EEG as an EDF+ file into the patient's folder and reports it. Not for use
with patients.")

include(CPack)
