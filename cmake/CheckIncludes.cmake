# Every quoted include of the tree against the one table of which layer may
# include which (allowed-includes.txt), at every build. The include roots
# already stop a file that includes a layer its target does not link; this
# also stops a target that links a layer it must not, and another layer's
# private header reached by any path.
find_package(Python3 COMPONENTS Interpreter ${TALLYLINE_OPTIONAL})
if(Python3_Interpreter_FOUND)
  add_custom_target(layer_includes ALL
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_includes.py
            ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR}/allowed-includes.txt
    COMMENT "Checking every include against the layers' table")
else()
  message(STATUS "The include table's check is left out: python3 is missing")
endif()
