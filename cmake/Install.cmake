include(GNUInstallDirs)
install(TARGETS tellarix582 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/udev/70-tellarix582.rules DESTINATION lib/udev/rules.d)
