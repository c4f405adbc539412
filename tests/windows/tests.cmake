# The Windows build's tests, run under Wine inside tests/windows/wine_session.sh
# (scripts/test.sh windows), with GoogleTest built from Debian's own sources.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# The layer on Wine's queue and boxes; the reader on Windows paths, its boxes
# taken by a message_box of the test's own; the pacing as Windows compiles it.
add_executable(test_win32_layer windows/test_win32_layer.cpp)
add_executable(test_reader_on_windows windows/test_reader_on_windows.cpp)
target_include_directories(test_reader_on_windows PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(test_reader_on_windows PRIVATE orrery_app)
add_executable(test_swap_pacing test_swap_pacing.cpp)
foreach(test test_win32_layer test_reader_on_windows test_swap_pacing)
  target_link_libraries(${test} PRIVATE orrery_platform gtest_main)
  gtest_discover_tests(${test} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120 LABELS unit)
endforeach()

# The program end to end, with the tool that reads its boxes off the desktop;
# the installer and the zip made from this build.
add_executable(read_boxes windows/read_boxes.cpp)
add_test(NAME windows_end_to_end COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/e2e_wine.sh
  $<TARGET_FILE:orrery> $<TARGET_FILE:read_boxes> ${PROJECT_SOURCE_DIR}/data/textures)
add_test(NAME windows_installer_and_zip
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/install_wine.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_end_to_end windows_installer_and_zip PROPERTIES
  LABELS e2e RUN_SERIAL TRUE TIMEOUT 300)
