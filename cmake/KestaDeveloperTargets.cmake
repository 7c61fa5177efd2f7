# Targets for developers, not part of the build:
#   cmake --build build --target format    clang-format over every C++ file of the tree
#   cmake --build build --target lupdate   refreshes every catalogue pair from its sources

find_program(KESTA_CLANG_FORMAT clang-format)
if(KESTA_CLANG_FORMAT)
    file(GLOB_RECURSE _kesta_format_files CONFIGURE_DEPENDS
        "${PROJECT_SOURCE_DIR}/src/*.cpp" "${PROJECT_SOURCE_DIR}/src/*.h"
        "${PROJECT_SOURCE_DIR}/tests/*.cpp" "${PROJECT_SOURCE_DIR}/tests/*.h"
        "${PROJECT_SOURCE_DIR}/tools/*.cpp" "${PROJECT_SOURCE_DIR}/tools/*.h")
    add_custom_target(format
        COMMAND "${KESTA_CLANG_FORMAT}" -i --style=file ${_kesta_format_files}
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        COMMENT "Formatting the sources"
        VERBATIM)
endif()

# The sources (files or folders, relative to the repository) whose texts each
# catalogue pair resources/translations/<name>_ru_RU.ts and <name>_en_US.ts
# holds; one pair per feature, so that work on one never touches another's.
set(KESTA_CATALOGUES Kesta tables db settings settingseditor style update util exchange recordings workstation server
    care printing roles moving)
# Moving in: the sources read, the mapping, the import and its dialog and command.
set(KESTA_CATALOGUE_moving src/db/moving src/app/importcommand.h src/app/importcommand.cpp src/app/importdialog.h
    src/app/importdialog.cpp)
# Conclusions and printed pages.
set(KESTA_CATALOGUE_printing src/db/rows/conclusions.h src/db/rows/conclusions.cpp src/app/conclusioneditor.h
    src/app/conclusioneditor.cpp src/app/printing/listpage.h src/app/printing/listpage.cpp
    src/app/printing/patientpage.h src/app/printing/patientpage.cpp src/app/printing/printcommands.h
    src/app/printing/printcommands.cpp src/app/printing/printframe.h src/app/printing/printframe.cpp
    src/app/printing/tracepage.h src/app/printing/tracepage.cpp)
set(KESTA_CATALOGUE_Kesta src/main.cpp src/app/mainwindow.h src/app/mainwindow.cpp src/app/recordcommands.h
    src/app/recordcommands.cpp src/app/aboutbox.h
    src/app/aboutbox.cpp src/app/patientdialog.h src/app/patientdialog.cpp src/app/patienteditor.h
    src/app/patienteditor.cpp src/app/newversionprompt.h src/app/newversionprompt.cpp)
# The window's commands, keys, status line and settings dialog.
set(KESTA_CATALOGUE_workstation src/app/windowcommands.h src/app/windowcommands.cpp
    src/app/patientcountline.h src/app/patientcountline.cpp src/app/settingsdialog.h
    src/app/settingsdialog.cpp src/app/keyboardpaths.h src/app/keyboardpaths.cpp src/app/tables/rowkeys.h
    src/app/tables/rowkeys.cpp)
set(KESTA_CATALOGUE_tables src/app/tables/tablewidget.h src/app/tables/tablewidget.cpp src/app/tables/tablecolumn.h
    src/app/tables/tablecolumn.cpp src/app/tables/tablerowmodel.h src/app/tables/tablerowmodel.cpp src/app/tables/tablefiltermodel.h
    src/app/tables/tablefiltermodel.cpp src/app/tables/patientslistwidget.h src/app/tables/patientslistwidget.cpp
    src/app/tables/recordstable.h src/app/tables/recordstable.cpp)
set(KESTA_CATALOGUE_db src/db/rows/patient.h src/db/rows/patient.cpp src/db/rows/record.h src/db/rows/record.cpp
    src/db/storage/database.h src/db/storage/database.cpp src/db/storage/databasewrites.cpp src/db/storage/schemamigrations.h
    src/db/storage/schemamigrations.cpp src/db/model/datalocations.cpp)
set(KESTA_CATALOGUE_settings src/db/model/kestasettings.h src/db/model/kestasettings.cpp
    src/toolkit/settings/ztsettings.h src/toolkit/settings/ztsettings.cpp)
set(KESTA_CATALOGUE_settingseditor
    src/toolkit/settings/basepropertylistwidget.h src/toolkit/settings/basepropertylistwidget.cpp
    src/toolkit/settings/basepropertyview.h src/toolkit/settings/basepropertyview.cpp
    src/toolkit/settings/datefield.h src/toolkit/settings/datefield.cpp
    src/toolkit/settings/enumpropertyview.h src/toolkit/settings/enumpropertyview.cpp
    src/toolkit/settings/propertycategories.h src/toolkit/settings/propertycategories.cpp
    src/toolkit/settings/specialpropertyview.h src/toolkit/settings/specialpropertyview.cpp
    src/toolkit/settings/stringpropertyview.h src/toolkit/settings/stringpropertyview.cpp)
set(KESTA_CATALOGUE_style src/toolkit/style)
# The start-up code declares the application's name, which the update button shows.
set(KESTA_CATALOGUE_update src/toolkit/update src/app/startup.cpp)
set(KESTA_CATALOGUE_util src/toolkit/util)
# Recording files: their facts, the trace preview and the viewer hand-off.
set(KESTA_CATALOGUE_recordings src/db/edf/edffacts.h src/db/edf/edffacts.cpp src/app/eegviewerlauncher.h
    src/app/eegviewerlauncher.cpp src/app/recordingfactstext.h src/app/recordingfactstext.cpp
    src/app/tracepreview.h src/app/tracepreview.cpp src/app/tracerenderer.h src/app/tracerenderer.cpp)
set(KESTA_CATALOGUE_exchange src/app/recorderlaunchwarning.h src/app/recorderlaunchwarning.cpp
    src/app/unregisteredrecordingsnotice.h src/app/unregisteredrecordingsnotice.cpp
    src/db/recordings/unregisteredrecordings.h src/db/recordings/unregisteredrecordings.cpp
    src/db/recordings/recordingregistration.h src/db/recordings/recordingregistration.cpp src/exchange)
# Who may do what on a server, and who opened which card.
set(KESTA_CATALOGUE_roles src/db/storage/serverroles.h src/db/storage/serverroles.cpp src/app/rolegate.h
    src/app/rolegate.cpp src/app/serverstatusline.h src/app/serverstatusline.cpp src/app/serversetupcommand.h
    src/app/serversetupcommand.cpp src/db/care/patientviews.h src/db/care/patientviews.cpp
    src/app/patientviewsdialog.h src/app/patientviewsdialog.cpp)
# Several workstations on one server: conflicts, live updates, the copy onto it, its password.
set(KESTA_CATALOGUE_server src/db/storage/editconflict.h src/db/storage/editconflict.cpp src/db/care/databasecopy.h
    src/db/care/databasecopy.cpp src/db/storage/liveupdates.h src/db/storage/liveupdates.cpp src/app/databasecopycommand.h
    src/app/databasecopycommand.cpp src/app/serverpasswordprompt.h src/app/serverpasswordprompt.cpp)
# Data care: the trash, the history, backups and exports.
set(KESTA_CATALOGUE_care src/db/care/trash.h src/db/care/trash.cpp src/db/care/trashrestore.cpp src/db/care/changehistory.h
    src/db/care/changehistory.cpp src/db/care/backuparchive.h src/db/care/backuparchive.cpp src/db/care/backupreader.cpp
    src/db/care/backupmanifest.cpp src/db/care/backuprestore.h src/db/care/backuprestore.cpp src/db/care/databasesnapshot.h
    src/db/care/databasesnapshot.cpp src/app/removalcommands.h src/app/removalcommands.cpp src/app/trashdialog.h
    src/app/trashdialog.cpp src/app/historycommands.h src/app/historycommands.cpp src/app/historydialog.h
    src/app/historydialog.cpp src/app/backupcommands.h src/app/backupcommands.cpp src/app/exportcommands.h
    src/app/exportcommands.cpp)

find_program(KESTA_LUPDATE NAMES lupdate lupdate-qt5 HINTS "${Qt5_DIR}/../../../bin")
if(KESTA_LUPDATE)
    set(_kesta_lupdate_commands "")
    foreach(_name IN LISTS KESTA_CATALOGUES)
        list(APPEND _kesta_lupdate_commands COMMAND "${KESTA_LUPDATE}" -silent -locations none -no-obsolete -I src
            ${KESTA_CATALOGUE_${_name}} -ts "resources/translations/${_name}_ru_RU.ts"
            "resources/translations/${_name}_en_US.ts")
    endforeach()
    add_custom_target(lupdate ${_kesta_lupdate_commands}
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        COMMENT "Refreshing the translation catalogues"
        VERBATIM)
endif()
