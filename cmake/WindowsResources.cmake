# Windows programs carry their icon, version information and application
# manifest in a resource, compiled by the MinGW resource compiler. The icon file is drawn at build time
# by resources/ (its target qornv_windows_icon).
enable_language(RC)
set(QORNV_WINDOWS_ICON ${CMAKE_BINARY_DIR}/resources/qornv-viewer.ico)

function(qornv_windows_resource target description)
    set(name ${target})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/resources/windows/Program.manifest.in ${manifest} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/resources/windows/Program.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${QORNV_WINDOWS_ICON};${manifest}")
    target_sources(${target} PRIVATE ${rc})
    add_dependencies(${target} qornv_windows_icon)
endfunction()
