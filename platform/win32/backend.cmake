# The Win32 backend of the window-system layer: the Windows API, WGL and
# Windows's own OpenGL and GLU. MinGW's GL/gl.h includes windows.h, so every
# file that draws sees it: lean, without min/max macros, for Windows 10.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# Every program (the tests too) with the C and C++ runtimes linked in, so that
# it needs nothing but the DLLs of Windows itself.
add_link_options(-static -static-libgcc -static-libstdc++)
target_link_libraries(orrery_app PUBLIC opengl32 glu32)

file(GLOB ORRERY_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
# Windows keeps the windows and the message queue itself: the layer's own
# window list and queue, for the backends that have none, stay out.
list(REMOVE_ITEM ORRERY_COMMON_PLATFORM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/common/window_list.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/common/queued_messages.cpp)
add_library(orrery_platform STATIC ${ORRERY_PLATFORM_SOURCES} ${ORRERY_COMMON_PLATFORM_SOURCES})
target_include_directories(orrery_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orrery_platform PUBLIC opengl32 gdi32 user32 winmm)
add_library(orrery_core INTERFACE)
target_link_libraries(orrery_core INTERFACE orrery_app orrery_platform)

# The program: a console program (it keeps the console it was started from);
# its icon, version and manifest come from its resources.
add_executable(orrery app/main.cpp desktop/windows/orrery.rc)
# The resource compiler's dependencies are not scanned: a changed icon or
# manifest would otherwise leave the old one in the program.
set_source_files_properties(desktop/windows/orrery.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/desktop/windows/orrery.ico;${CMAKE_CURRENT_SOURCE_DIR}/desktop/windows/orrery.manifest")
target_link_libraries(orrery PRIVATE orrery_app orrery_platform)
configure_file(desktop/windows/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(orrery PRIVATE ${CMAKE_BINARY_DIR}/generated
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/windows)
