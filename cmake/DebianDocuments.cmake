# The copyright file and changelog every Debian package carries in
# /usr/share/doc/PACKAGE, and its lintian overrides. Expects CPACK_PACKAGE_NAME,
# CPACK_DEBIAN_PACKAGE_MAINTAINER and QORNV_RELEASE_DATE.
include(${CMAKE_CURRENT_LIST_DIR}/Gzip.cmake)

set(debian_source ${PROJECT_SOURCE_DIR}/resources/debian)
set(debian_binary ${PROJECT_BINARY_DIR}/debian)
set(debian_docdir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# RFC 5322 date of a YYYY-MM-DD day, as a changelog trailer wants it. The
# changelog takes its date from the release date the AppStream metainfo names,
# so the two cannot drift apart.
function(qornv_changelog_date output iso_date)
    if(NOT iso_date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
        message(FATAL_ERROR "Release date '${iso_date}' is not YYYY-MM-DD")
    endif()
    set(year ${CMAKE_MATCH_1})
    math(EXPR month "${CMAKE_MATCH_2}")
    math(EXPR day "${CMAKE_MATCH_3}")
    # Sakamoto's weekday method: 0 is Sunday.
    set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR index "${month} - 1")
    list(GET month_offsets ${index} offset)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(GET weekdays ${weekday} weekday_name)
    list(GET months ${index} month_name)
    set(${output} "${weekday_name}, ${CMAKE_MATCH_3} ${month_name} ${year} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

qornv_changelog_date(QORNV_CHANGELOG_DATE "${QORNV_RELEASE_DATE}")
configure_file(${debian_source}/changelog.in ${debian_binary}/changelog @ONLY)
qornv_gzip(${debian_binary}/changelog.gz ${debian_binary}/changelog)

# The licence is stated once: its identifier in the AppStream metainfo, its
# text in LICENSE. The machine-readable copyright file is built from both.
set(metainfo_template ${PROJECT_SOURCE_DIR}/resources/de.qornv.viewer.metainfo.xml.in)
set(license_file ${PROJECT_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo_template} ${license_file})
file(STRINGS ${metainfo_template} license_line REGEX "<project_license>")
if(NOT license_line MATCHES "<project_license>([^<]+)</project_license>")
    message(FATAL_ERROR "No <project_license> in ${metainfo_template}")
endif()
set(QORNV_LICENSE ${CMAKE_MATCH_1})
file(READ ${license_file} license_text)
if(NOT license_text MATCHES "Copyright ([^\n]+)\\. All rights reserved")
    message(FATAL_ERROR "No copyright line in ${license_file}")
endif()
set(QORNV_COPYRIGHT ${CMAKE_MATCH_1})
# Continuation lines of a copyright paragraph start with a space; an empty
# line in the text is written as " .".
string(REGEX REPLACE "\n+$" "" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
while(license_text MATCHES "\n \n")
    string(REPLACE "\n \n" "\n .\n" license_text "${license_text}")
endwhile()
set(QORNV_LICENSE_TEXT "${license_text}")
configure_file(${debian_source}/copyright.in ${debian_binary}/copyright @ONLY)

add_custom_target(qornv_debian_documents ALL DEPENDS ${debian_binary}/changelog.gz)
install(FILES ${debian_binary}/copyright ${debian_binary}/changelog.gz DESTINATION ${debian_docdir})

# Overrides of lintian tags, each with its reason, as Debian packages ship them.
# The one there is for a check that lintian runs since Debian 13; an older
# lintian takes an override of a tag it does not know for an error, so the
# package carries the file where the build system's lintian knows the tag.
find_program(QORNV_LINTIAN_EXPLAIN_TAGS lintian-explain-tags)
set(explain_status 1)
if(QORNV_LINTIAN_EXPLAIN_TAGS)
    execute_process(COMMAND ${QORNV_LINTIAN_EXPLAIN_TAGS} appstream-metadata-validation-failed
        RESULT_VARIABLE explain_status OUTPUT_QUIET ERROR_QUIET)
endif()
if(explain_status EQUAL 0)
    install(FILES ${debian_source}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${CPACK_PACKAGE_NAME})
endif()
