# The Windows release is one folder that runs where it lies: the programs, the
# Qt libraries and plugins they load, the MinGW runtime, Qt's German texts, and
# a qt.conf that tells Qt where those are. scripts/build-windows installs it
# (cmake --install), packs it as a zip and builds the installer from it.
install(TARGETS qornv-viewer RUNTIME DESTINATION .)

install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION plugins/platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION plugins/styles)
endif()

foreach(library libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
        OUTPUT_VARIABLE runtime_library OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_library}" OR NOT EXISTS "${runtime_library}")
        message(FATAL_ERROR "The MinGW runtime library ${library} was not found")
    endif()
    install(FILES ${runtime_library} DESTINATION .)
endforeach()

# Qt's translations are data, the same on every system: the host's will do.
find_file(QORNV_QT_GERMAN qtbase_de.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH)
if(NOT QORNV_QT_GERMAN)
    message(FATAL_ERROR "qtbase_de.qm not found: install qt6-translations-l10n")
endif()
install(FILES ${QORNV_QT_GERMAN} DESTINATION translations)

file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
install(FILES ${QORNV_WINDOWS_ICON} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/LIESMICH.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
