# The OpenGL 1.1 subset against Mesa's own (oracle_frames.cpp; README.md tells what it compares).
include(${PROJECT_SOURCE_DIR}/platform/gl11/gl11.cmake)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
# The application's code once more, compiled against the subset's headers.
add_library(orrery_app_gl11 STATIC ${ORRERY_SOURCES})
target_link_libraries(orrery_app_gl11 PUBLIC orrery_gl11)
# OSMesa first, as for the offscreen unit tests; the subset's uploads to ES 2 counted (oracle_es.cpp).
add_executable(oracle_frames_mesa gl11/oracle_frames.cpp gl11/oracle_mesa.cpp)
target_link_libraries(oracle_frames_mesa PRIVATE PkgConfig::OSMESA orrery_app orrery_platform)
add_executable(oracle_frames_es gl11/oracle_frames.cpp gl11/oracle_es.cpp)
target_link_libraries(oracle_frames_es PRIVATE orrery_app_gl11 orrery_platform PkgConfig::EGL)
target_link_options(oracle_frames_es PRIVATE -Wl,--wrap=glBufferData,--wrap=glTexImage2D)
# Without a display, the boxes of the run without pictures go to standard error. Mesa draws a
# third time from the page's pictures (made into WebP as its build makes them, decoded back to BMP
# by libwebp as the browsers decode them), compared with its first frames.
set(ORACLE_OUT ${CMAKE_CURRENT_BINARY_DIR}/gl11)
add_test(NAME gl11_against_mesa COMMAND env -u DISPLAY -u WAYLAND_DISPLAY sh -c
  "rm -rf '${ORACLE_OUT}' && '$<TARGET_FILE:oracle_frames_mesa>' '${PROJECT_SOURCE_DIR}/data/textures' '${ORACLE_OUT}/mesa' && '$<TARGET_FILE:oracle_frames_es>' '${PROJECT_SOURCE_DIR}/data/textures' '${ORACLE_OUT}/subset' '${ORACLE_OUT}/mesa' && node '${PROJECT_SOURCE_DIR}/scripts/web_pictures.mjs' '${ORACLE_OUT}/web_pictures' '${PROJECT_SOURCE_DIR}'/data/textures/*.bmp && for f in '${ORACLE_OUT}/web_pictures'/*.webp; do dwebp -quiet -bmp \"$f\" -o \"\${f%.webp}.bmp\" || exit 1; done && '$<TARGET_FILE:oracle_frames_mesa>' '${ORACLE_OUT}/web_pictures' '${ORACLE_OUT}/web' '${ORACLE_OUT}/mesa' webp")
set_tests_properties(gl11_against_mesa PROPERTIES LABELS unit TIMEOUT 600 ENVIRONMENT "${TEST_ENVIRONMENT}")
