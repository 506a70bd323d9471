# The libusb path against analyzers on a umockdev test bed. The program runs
# under umockdev-wrapper (package umockdev), which points /sys and /dev at
# the test bed; label "usb".
find_package(PkgConfig REQUIRED)
pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)

add_executable(tests_usb
  ${CMAKE_CURRENT_SOURCE_DIR}/device/usb/UsbBackendUsbTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/device/usb/UmockdevAnalyzers.cpp)
target_link_libraries(tests_usb PRIVATE tracemoor_core PkgConfig::UMOCKDEV GTest::gtest_main)
add_test(NAME usb_backend COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:tests_usb>)
set_tests_properties(usb_backend PROPERTIES LABELS usb TIMEOUT 120)
if(TRACEMOOR_SANITIZE)
  # The umockdev preload library comes before the sanitizer runtime.
  set_tests_properties(usb_backend PROPERTIES ENVIRONMENT ASAN_OPTIONS=verify_asan_link_order=0)
endif()
