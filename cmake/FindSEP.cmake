# SEP, Source Extractor as a C library (Debian's libsep-dev), as the imported target SEP::sep.
find_library(SEP_LIBRARY sep)
find_path(SEP_INCLUDE_DIR sep.h)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(SEP REQUIRED_VARS SEP_LIBRARY SEP_INCLUDE_DIR)
if(SEP_FOUND AND NOT TARGET SEP::sep)
    add_library(SEP::sep UNKNOWN IMPORTED)
    set_target_properties(SEP::sep PROPERTIES IMPORTED_LOCATION "${SEP_LIBRARY}"
                                              INTERFACE_INCLUDE_DIRECTORIES "${SEP_INCLUDE_DIR}")
endif()
mark_as_advanced(SEP_LIBRARY SEP_INCLUDE_DIR)
