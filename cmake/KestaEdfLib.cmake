# EDFlib (Debian libedf-dev) reads and writes the recordings: the database layer reads their
# headers and samples, the recorder simulator writes them. The static library is preferred, so
# that the program needs no shared one where it is installed.
find_path(EDFLIB_INCLUDE_DIR edflib.h REQUIRED)
find_library(EDFLIB_LIBRARY NAMES libedf.a edf REQUIRED)

add_library(EdfLib::EdfLib UNKNOWN IMPORTED)
set_target_properties(EdfLib::EdfLib PROPERTIES
    IMPORTED_LOCATION "${EDFLIB_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${EDFLIB_INCLUDE_DIR}")
