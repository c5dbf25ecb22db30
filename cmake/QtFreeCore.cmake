# The core must stay free of Qt. It is not linked with Qt, so a Qt header is
# not even found when a core file names one; this check also fails the build
# on a machine whose compiler would find Qt's headers by itself, and names the
# file and line.

set(TONAREL_QT_FREE_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckQtFree.cmake)

# Fails the build of `target` when a source file of it, or a header in the
# folders of its sources, includes a Qt header.
function(tonarel_require_qt_free target)
  get_target_property(sources ${target} SOURCES)
  set(folders "")
  foreach(source IN LISTS sources)
    get_filename_component(folder ${source} DIRECTORY)
    list(APPEND folders ${folder})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  add_custom_target(${target}_qt_free
    COMMAND ${CMAKE_COMMAND} "-DFOLDERS=${folders}" -P ${TONAREL_QT_FREE_CHECK_SCRIPT}
    COMMENT "Checking that ${target} includes no Qt header"
    VERBATIM)
  add_dependencies(${target} ${target}_qt_free)
endfunction()
