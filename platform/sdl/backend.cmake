# The SDL2 backend of the window-system layer (X11 and Wayland), and the
# program that shows its message boxes.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_library(GLU_LIBRARY GLU REQUIRED)
# Xlib, for the few calls that SDL leaves undone (platform/sdl/x11_colormap.cpp)
# and for the box program.
pkg_check_modules(XLIB REQUIRED IMPORTED_TARGET x11)

target_link_libraries(orrery_app PUBLIC OpenGL::GL ${GLU_LIBRARY})

# The layer; the tests, benchmarks and fuzzers link orrery_core, the
# application with the layer.
file(GLOB ORRERY_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/sdl/*.cpp)
list(REMOVE_ITEM ORRERY_PLATFORM_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/platform/sdl/box_program.cpp)
list(APPEND ORRERY_PLATFORM_SOURCES ${ORRERY_COMMON_PLATFORM_SOURCES})
add_library(orrery_platform STATIC ${ORRERY_PLATFORM_SOURCES})
target_include_directories(orrery_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}
  PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(orrery_platform PRIVATE PkgConfig::SDL2 PkgConfig::XLIB)
add_library(orrery_core INTERFACE)
target_link_libraries(orrery_core INTERFACE orrery_app orrery_platform)

add_executable(orrery app/main.cpp)
target_link_libraries(orrery PRIVATE orrery_app orrery_platform)

# The program that shows the message boxes, one per run; the layer starts it
# from beside the running program (platform/sdl/box_process.cpp). Its few Xlib
# calls check that an owner window still exists.
add_executable(orrery-box platform/sdl/box_program.cpp)
target_include_directories(orrery-box PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orrery-box PRIVATE PkgConfig::SDL2 PkgConfig::XLIB)
add_dependencies(orrery orrery-box)

# The window icon: the 48 px icon's raw RGBA bytes become an initialiser list
# that platform/sdl/window_icon.cpp includes. Re-generated when the file changes.
set(ORRERY_ICON_RGBA ${CMAKE_CURRENT_SOURCE_DIR}/desktop/icons/48x48.rgba)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORRERY_ICON_RGBA})
file(READ ${ORRERY_ICON_RGBA} icon_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," icon_bytes "${icon_hex}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/window_icon_pixels.inc CONTENT "${icon_bytes}\n")
