# The Windows build's tests, under Wine (scripts/test.sh windows), with Debian's GoogleTest sources.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
# The layer on Wine's queue and boxes, with the file map; the pacing as Windows compiles it.
add_executable(test_win32_layer windows/test_win32_layer.cpp ${PROJECT_SOURCE_DIR}/desktop/windows/orrery.rc)
add_executable(test_swap_pacing test_swap_pacing.cpp)
foreach(test test_win32_layer test_swap_pacing)
  target_link_libraries(${test} PRIVATE orrery_app orrery_platform gtest_main)
  gtest_discover_tests(${test} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120 LABELS unit)
endforeach()
# The layer's test carries the program's resources (icon, manifest), reads its pictures, records its boxes.
target_link_options(test_win32_layer PRIVATE "LINKER:--wrap=message_box")
target_include_directories(test_win32_layer PRIVATE ${CMAKE_BINARY_DIR}/generated ${PROJECT_SOURCE_DIR}/desktop/windows)
target_compile_definitions(test_win32_layer PRIVATE ORRERY_TEXTURE_DIR="${PROJECT_SOURCE_DIR}/data/textures")
# The packages of this build and the program end to end.
add_test(NAME windows_end_to_end COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/e2e_wine.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_end_to_end PROPERTIES LABELS e2e RUN_SERIAL TRUE TIMEOUT 300)
