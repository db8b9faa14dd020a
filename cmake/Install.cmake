include(GNUInstallDirs)

install(TARGETS tellarix582 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# udev wants its rules under /lib (or /usr/lib) whatever the prefix's libdir is.
install(FILES packaging/udev/70-tellarix582.rules DESTINATION lib/udev/rules.d)
install(FILES packaging/desktop/tellarix582.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/desktop/tellarix582.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/desktop/tellarix582-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tellarix582.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellarix582)
set(CPACK_PACKAGE_VENDOR "Tellarix")
set(CPACK_PACKAGE_CONTACT "Tellarix software team <software@tellarix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion program of the 582 chromaticity and illuminance meter")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
