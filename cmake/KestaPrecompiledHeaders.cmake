# Every source file parses the same Qt headers again, for seconds each; with
# KESTA_PCH they are parsed once per build into two precompiled headers that
# the program's targets, its tools and its tests share: one of Qt's widgets for
# the targets that use them, one of Qt's core and GUI classes for the others
# (a precompiled header serves only sources compiled with its Qt modules'
# definitions). The project's own headers stay out of them, so that a change
# to one rebuilds no more than it did.

option(KESTA_PCH "Precompile the Qt headers once for every target" ON)

# Whether the target's sources are compiled with Qt's widgets: it links them
# itself or through what its libraries pass on.
function(_kesta_uses_widgets target result)
    get_target_property(_pending ${target} LINK_LIBRARIES)
    set(_seen "")
    while(_pending)
        list(POP_FRONT _pending _library)
        if(NOT _library OR _library MATCHES "^\\$<LINK_ONLY:" OR _library IN_LIST _seen)
            continue()
        endif()
        list(APPEND _seen ${_library})
        if(_library STREQUAL "Qt5::Widgets")
            set(${result} TRUE PARENT_SCOPE)
            return()
        endif()
        if(TARGET ${_library})
            get_target_property(_passed ${_library} INTERFACE_LINK_LIBRARIES)
            list(APPEND _pending ${_passed})
        endif()
    endwhile()
    set(${result} FALSE PARENT_SCOPE)
endfunction()

# Call once every target is defined: every target in these folders and their
# subfolders but the resources shares one of the two.
function(kesta_share_precompiled_headers)
    if(NOT KESTA_PCH)
        return()
    endif()
    set(_owner_source "${PROJECT_BINARY_DIR}/kesta_pch.cpp")
    file(CONFIGURE OUTPUT "${_owner_source}" CONTENT "// Owns a precompiled header of Qt's.\n")
    # What most sources include: fewer headers make a smaller file for every
    # compiler run to load.
    set(_core <QCoreApplication> <QDateTime> <QDebug> <QDir> <QFile> <QFileInfo> <QHash> <QList>
        <QMap> <QMetaEnum> <QMetaProperty> <QObject> <QPointer> <QRegularExpression> <QSet> <QString>
        <QStringList> <QTimer> <QVariant> <QVector>)
    set(_widgets <QAction> <QApplication> <QComboBox> <QDialog> <QGridLayout> <QHBoxLayout>
        <QHeaderView> <QLabel> <QLineEdit> <QMenu> <QPushButton> <QTabWidget> <QTableView>
        <QVBoxLayout> <QWidget>)
    add_library(kesta_pch_gui OBJECT "${_owner_source}")
    target_link_libraries(kesta_pch_gui PRIVATE Qt5::Gui)
    target_precompile_headers(kesta_pch_gui PRIVATE ${_core} <QIcon>)
    add_library(kesta_pch_widgets OBJECT "${_owner_source}")
    target_link_libraries(kesta_pch_widgets PRIVATE Qt5::Widgets)
    target_precompile_headers(kesta_pch_widgets PRIVATE ${_core} <QIcon> ${_widgets})

    set(_folders ${ARGN})
    while(_folders)
        list(POP_FRONT _folders _folder)
        get_property(_subfolders DIRECTORY "${_folder}" PROPERTY SUBDIRECTORIES)
        list(APPEND _folders ${_subfolders})
        get_property(_targets DIRECTORY "${_folder}" PROPERTY BUILDSYSTEM_TARGETS)
        foreach(_target IN LISTS _targets)
            get_target_property(_type ${_target} TYPE)
            if(NOT _type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|OBJECT_LIBRARY)$" OR _target STREQUAL "kesta_resources")
                continue()
            endif()
            _kesta_uses_widgets(${_target} _widgets)
            if(_widgets)
                set_property(TARGET ${_target} PROPERTY PRECOMPILE_HEADERS_REUSE_FROM kesta_pch_widgets)
            else()
                set_property(TARGET ${_target} PROPERTY PRECOMPILE_HEADERS_REUSE_FROM kesta_pch_gui)
            endif()
        endforeach()
    endwhile()
endfunction()
