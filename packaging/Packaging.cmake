# The Debian package: `cpack -G DEB` in the build folder (after a build).
# Installs under /usr: programs, libplotrune, language files, the udev rule in
# /usr/lib/udev/rules.d, desktop entries, icons, metainfo and man pages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tracemoor)
set(CPACK_PACKAGE_VENDOR "Tracemoor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Software for USB logic analyzers")
set(CPACK_PACKAGE_DESCRIPTION
    "Tracemoor drives USB logic analyzers with 16 or 32 channels: trigger set-up, capture, \
timing waveforms and state list, I2C, SPI, UART and CAN decoders, CPU memory map, projects, \
pictures, reports and printouts. Gathermoor captures unattended whenever a parameter file \
changes.")
set(CPACK_PACKAGE_CONTACT "Tracemoor developers <tracemoor@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libplotrune comes with the package itself: dpkg-shlibdeps finds it there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/plot)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/postinst ${CMAKE_CURRENT_LIST_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
