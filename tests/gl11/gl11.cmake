# The OpenGL 1.1 subset against Mesa: the application drawn by oracle_frames through Mesa's own
# OpenGL 1.1 (OSMesa) and through the subset over Mesa's OpenGL ES 2 (EGL, surfaceless), and
# test_gl11_oracle comparing the two programs' frames and hit records.
include(${PROJECT_SOURCE_DIR}/platform/gl11/gl11.cmake)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)

# The application's code once more, compiled against the subset's headers.
add_library(orrery_app_gl11 STATIC ${ORRERY_SOURCES})
target_link_libraries(orrery_app_gl11 PUBLIC orrery_gl11)

add_executable(oracle_frames_mesa gl11/oracle_frames.cpp gl11/oracle_mesa.cpp)
target_include_directories(oracle_frames_mesa PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# OSMesa first, as for the offscreen unit tests.
target_link_libraries(oracle_frames_mesa PRIVATE PkgConfig::OSMESA orrery_app orrery_platform)

add_executable(oracle_frames_es gl11/oracle_frames.cpp gl11/oracle_es.cpp)
target_include_directories(oracle_frames_es PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(oracle_frames_es PRIVATE orrery_app_gl11 orrery_platform PkgConfig::EGL)
# The subset's uploads to ES 2, counted by oracle_es.cpp.
target_link_options(oracle_frames_es PRIVATE
  -Wl,--wrap=glBufferData,--wrap=glBufferSubData,--wrap=glTexImage2D)

# Both programs draw once, before the comparisons; without a display, the boxes of their run without
# pictures go to standard error. Mesa draws a third time from the browser page's pictures: each
# picture made into WebP as the page's build makes it (scripts/web_pictures.mjs) and decoded back
# to BMP by libwebp, as the browsers decode it.
set(ORACLE_OUT ${CMAKE_CURRENT_BINARY_DIR}/gl11)
set(WEB_PICTURES ${ORACLE_OUT}/web_pictures)
add_test(NAME gl11_oracle_frames COMMAND env -u DISPLAY -u WAYLAND_DISPLAY sh -c
  "rm -rf '${ORACLE_OUT}' && '$<TARGET_FILE:oracle_frames_mesa>' '${PROJECT_SOURCE_DIR}/data/textures' '${ORACLE_OUT}/mesa' && '$<TARGET_FILE:oracle_frames_es>' '${PROJECT_SOURCE_DIR}/data/textures' '${ORACLE_OUT}/subset' && node '${PROJECT_SOURCE_DIR}/scripts/web_pictures.mjs' '${WEB_PICTURES}' '${PROJECT_SOURCE_DIR}'/data/textures/*.bmp && for f in '${WEB_PICTURES}'/*.webp; do dwebp -quiet -bmp \"$f\" -o \"\${f%.webp}.bmp\" || exit 1; done && '$<TARGET_FILE:oracle_frames_mesa>' '${WEB_PICTURES}' '${ORACLE_OUT}/web'")
set_tests_properties(gl11_oracle_frames PROPERTIES FIXTURES_SETUP gl11_frames LABELS unit
  TIMEOUT 600 ENVIRONMENT "${TEST_ENVIRONMENT}")

add_executable(test_gl11_oracle gl11/test_gl11_oracle.cpp)
target_link_libraries(test_gl11_oracle PRIVATE GTest::gtest_main)
target_compile_definitions(test_gl11_oracle PRIVATE ORACLE_OUT="${ORACLE_OUT}")
gtest_discover_tests(test_gl11_oracle DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 300 LABELS unit
  FIXTURES_REQUIRED gl11_frames)
