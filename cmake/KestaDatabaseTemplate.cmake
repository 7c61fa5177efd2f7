# The empty database that a first start copies into the data folder is built
# from the readable schema, so the schema file is the only thing to review and
# no binary lies in the repository. The schema itself goes along too: a server
# database gets its layout from it. It is compiled into its own resource file
# (":/resources/empty.sqlite") and joins the shared resources object library.

find_program(KESTA_SQLITE3 sqlite3 REQUIRED)

set(_kesta_schema "${PROJECT_SOURCE_DIR}/resources/schema.sql")
set(_kesta_template "${PROJECT_BINARY_DIR}/resources/empty.sqlite")
set(_kesta_template_qrc "${PROJECT_BINARY_DIR}/resources/database_template.qrc")

file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/resources")
add_custom_command(
    OUTPUT "${_kesta_template}"
    # sqlite3 appends to an existing file; start from nothing every time.
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${_kesta_template}"
    COMMAND "${KESTA_SQLITE3}" -batch -bail "${_kesta_template}" ".read '${_kesta_schema}'"
    DEPENDS "${_kesta_schema}"
    COMMENT "Generating the empty database from schema.sql"
    VERBATIM)

file(CONFIGURE OUTPUT "${_kesta_template_qrc}" CONTENT
"<RCC>
    <qresource prefix=\"/resources\">
        <file alias=\"empty.sqlite\">${_kesta_template}</file>
        <file alias=\"schema.sql\">${_kesta_schema}</file>
    </qresource>
</RCC>
")

# qt5_add_resources rather than AUTORCC: it makes rcc depend on the generated
# file, so a schema change rebuilds the template and then the resource.
set_source_files_properties("${_kesta_template_qrc}" PROPERTIES SKIP_AUTORCC ON)
qt5_add_resources(_kesta_template_sources "${_kesta_template_qrc}" OPTIONS --format-version 1)
target_sources(kesta_resources PRIVATE ${_kesta_template_sources})
