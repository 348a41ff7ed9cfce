# `make package` (or `cmake --build build --target package`): a .deb of the installed tree,
# its dependencies read from the shared libraries the binaries link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantry)
set(CPACK_PACKAGE_VENDOR nimbrel)
set(CPACK_PACKAGE_CONTACT "nimbrel <support@nimbrel.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Agenda and task manager")
# Debian shows the description's lines as they are: each at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Vantry keeps an agenda as a tree of folders holding to-dos, actions, contacts,
things to call, mail and pay, agreements, facts and locations. The window shows
what a folder holds as a list with a Gantt chart, as a month calendar or as an
agenda of what is due; items can repeat and remind with desktop notifications.
.
Documents can be exported as HTML and iCalendar, take in iCalendar files, sync
with a CalDAV calendar server, and be browsed read-only from another device
through a small built-in web server. Command-line modes list, export, import,
sync and serve documents without a display.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://nimbrel.app/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
