include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(docDir ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
set(debianRelease 1)

# The changelog's newest entry names the package version; a release bumps both together.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^${PROJECT_NAME} \\(${PROJECT_VERSION}-${debianRelease}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with \"${newest}\", "
                      "not version ${PROJECT_VERSION}-${debianRelease}")
endif()

# Built beside the program: the manual page from its --help text, the compressed changelog.
set(manPage ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}.1)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${manPage}.gz
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tellarix582> -DNAME=${PROJECT_NAME}
          -DVERSION=${PROJECT_VERSION} -DOUTPUT=${manPage} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMAND ${CMAKE_COMMAND} -DINPUT=${manPage} -DOUTPUT=${manPage}.gz
          -P ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
  DEPENDS tellarix582 cmake/ManPage.cmake cmake/Gzip.cmake
  COMMENT "Writing the manual page from tellarix582 --help" VERBATIM)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/packaging/debian/changelog
          -DOUTPUT=${changelog} -P ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
  DEPENDS packaging/debian/changelog cmake/Gzip.cmake VERBATIM)
# The client's page from its --help and each command's.
set(cliPage ${CMAKE_CURRENT_BINARY_DIR}/tellarix582-cli.1)
set(cliCommands meters read record sets download export report erase clock)
add_custom_command(OUTPUT ${cliPage}.gz
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tellarix582-cli> -DNAME=tellarix582-cli
          -DVERSION=${PROJECT_VERSION} -DOUTPUT=${cliPage} "-DCOMMANDS=${cliCommands}"
          -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMAND ${CMAKE_COMMAND} -DINPUT=${cliPage} -DOUTPUT=${cliPage}.gz
          -P ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
  DEPENDS tellarix582-cli cmake/ManPage.cmake cmake/Gzip.cmake
  COMMENT "Writing the manual page from tellarix582-cli --help" VERBATIM)
add_custom_target(documentation ALL DEPENDS ${manPage}.gz ${cliPage}.gz ${changelog})

install(TARGETS tellarix582 tellarix582-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${manPage}.gz ${cliPage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/completion/tellarix582-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${changelog} packaging/debian/copyright DESTINATION ${docDir})
install(FILES packaging/lintian/tellarix582 DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
# udev wants its rules under /lib (or /usr/lib) whatever the prefix's libdir is.
install(FILES packaging/udev/70-tellarix582.rules DESTINATION lib/udev/rules.d)
install(FILES packaging/desktop/tellarix582.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/desktop/tellarix582.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/desktop/tellarix582-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tellarix582.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "Tellarix 582 developers")
set(CPACK_PACKAGE_CONTACT "Tellarix 582 developers <tellarix582@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of the 582 chromaticity and illuminance meter")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/debian/description)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${debianRelease})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "shared-mime-info, desktop-file-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
