# `make package` (or `cmake --build build --target package`): a .deb of the installed tree,
# its dependencies read from the shared libraries the binaries link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantry)
set(CPACK_PACKAGE_VENDOR nimbrel)
set(CPACK_PACKAGE_CONTACT "nimbrel <support@nimbrel.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Agenda and task manager")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantry keeps an agenda as a tree of folders holding to-dos, actions, contacts, things to\
 call, mail and pay, agreements, facts and locations, with a Gantt chart, a month calendar,\
 an HTML export and a remote view for a browser.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://nimbrel.app/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
