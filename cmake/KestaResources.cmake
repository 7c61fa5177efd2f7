# Every .qrc under resources/ and every translation source under
# resources/translations/ is built into one object library, so the executable,
# the tools and each test carry the same resources without anyone listing them.
# Static libraries would drop rcc's registration objects, hence OBJECT.

file(GLOB_RECURSE KESTA_QRC_FILES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/resources/*.qrc")
file(GLOB KESTA_TS_FILES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/resources/translations/*.ts")

set(KESTA_QM_DIR "${PROJECT_BINARY_DIR}/translations")
file(MAKE_DIRECTORY "${KESTA_QM_DIR}")
set_source_files_properties(${KESTA_TS_FILES} PROPERTIES OUTPUT_LOCATION "${KESTA_QM_DIR}")
qt5_add_translation(KESTA_QM_FILES ${KESTA_TS_FILES})

set(_kesta_tr_qrc "${PROJECT_BINARY_DIR}/translations.qrc")
set(_kesta_tr_body "<RCC>\n    <qresource prefix=\"/translations\">\n")
foreach(_qm IN LISTS KESTA_QM_FILES)
    get_filename_component(_name "${_qm}" NAME)
    string(APPEND _kesta_tr_body "        <file alias=\"${_name}\">${_qm}</file>\n")
endforeach()
string(APPEND _kesta_tr_body "    </qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT "${_kesta_tr_qrc}" CONTENT "${_kesta_tr_body}")

set(CMAKE_AUTORCC ON)
# Without file times (format 1): a clone's files bear the time of their checkout,
# which would make every resource a ccache miss in another clone.
set(CMAKE_AUTORCC_OPTIONS --format-version 1)
add_library(kesta_resources OBJECT ${KESTA_QRC_FILES} "${_kesta_tr_qrc}" ${KESTA_QM_FILES})
target_link_libraries(kesta_resources PRIVATE Qt5::Core)
set(CMAKE_AUTORCC OFF)
