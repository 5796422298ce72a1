# Packaging and desktop install rules. The icon, desktop entry, MIME type,
# AppStream metainfo and manual pages are installed by resources/; the Debian
# copyright file and changelog by DebianDocuments.cmake. Windows has a folder
# of its own, packed by scripts/build-windows (WindowsPackaging.cmake).
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackaging.cmake)
    return()
endif()
install(TARGETS qornv-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_PACKAGE_NAME qornv-viewer)
set(CPACK_PACKAGE_VENDOR "QORN-V")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Betrachter für QORN-V-Photonensequenzen")
set(CPACK_PACKAGE_DESCRIPTION
    "Zeigt die QORN-V-Lichtstruktur (Ikosaeder oder Oktaeder) und den Weg einer
Photonensequenz aus einer Vael-Kardimex-Sequenzdatei (.kzt).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QORN-V Entwicklung <entwicklung@qornv.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Library dependencies come from dpkg-shlibdeps. The dialogs' German buttons
# come from Qt's translations, so those are required; the desktop's handling of
# icons and the MIME type is worth having, not required. So is Qt's Wayland
# plugin: in a Wayland session the window is then the compositor's own, sharp
# on scaled screens (under GNOME with Qt before 6.8 the viewer still takes
# XWayland, see shell/PlatformChoice.h); without it Qt falls back to XWayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, qt6-wayland")

# A stripped install (as cpack makes) also drops the compiler's version notes,
# as Debian's own packaging does; they only make the programs larger.
set(stripped_programs
    ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:qornv-viewer>
    ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:qornv-render>
    ${CMAKE_INSTALL_LIBEXECDIR}/qornv/$<TARGET_FILE_NAME:qornv-render-picture>)
install(CODE "set(qornv_strip \"${CMAKE_STRIP}\")
set(qornv_stripped_programs \"${stripped_programs}\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program IN LISTS qornv_stripped_programs)
            execute_process(COMMAND "${qornv_strip}" --remove-section=.comment --remove-section=.note
                "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${program}" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
]])

include(${CMAKE_CURRENT_LIST_DIR}/DebianDocuments.cmake)

set(CPACK_GENERATOR DEB)
include(CPack)
