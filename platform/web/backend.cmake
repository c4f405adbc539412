# The browser backend of the window-system layer: Emscripten's html5.h over
# the page's canvas, the program's own OpenGL 1.1 subset over WebGL 1
# (platform/gl11/), and -sASYNCIFY so that the program's loop, which returns
# only at its end, can wait for the browser's frames and boxes.
include(${CMAKE_CURRENT_SOURCE_DIR}/platform/gl11/gl11.cmake)

# The application includes <GL/gl.h> and <GL/glu.h>: the subset's, found
# before Emscripten's own.
target_include_directories(orrery_app BEFORE PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/platform/gl11/include)
target_link_libraries(orrery_app PUBLIC orrery_gl11)

file(GLOB ORRERY_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/web/*.cpp)
# Code that runs before main must be in the program itself: a static library's
# member that nothing calls is never linked.
list(REMOVE_ITEM ORRERY_PLATFORM_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/platform/web/working_directory.cpp)
add_library(orrery_platform STATIC ${ORRERY_PLATFORM_SOURCES} ${ORRERY_COMMON_PLATFORM_SOURCES})
target_include_directories(orrery_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orrery_platform PUBLIC orrery_gl11)
add_library(orrery_core INTERFACE)
target_link_libraries(orrery_core INTERFACE orrery_app orrery_platform)

# The page: index.html with orrery.js, orrery.wasm, the pictures as WebP
# (scripts/web_pictures.mjs), the program's icon, its licence and the
# pictures' credits, in <build>/page/. Emscripten writes its own page only
# through a minifier that fails in Debian's packaging, so the page is ours and
# copied. The page decodes the pictures and writes them as BMP files into
# /orrery, the program's working directory, before the program starts
# (platform/web/page/loader.js), so that the program's own reader reads them.
set(ORRERY_PAGE_DIR ${CMAKE_BINARY_DIR}/page)
add_executable(orrery app/main.cpp platform/web/working_directory.cpp)
target_link_libraries(orrery PRIVATE orrery_app orrery_platform)
set_target_properties(orrery PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${ORRERY_PAGE_DIR})
file(GLOB ORRERY_PICTURES CONFIGURE_DEPENDS data/textures/*.bmp)
set(ORRERY_WEB_PICTURES)
foreach(picture ${ORRERY_PICTURES})
  get_filename_component(name ${picture} NAME_WE)
  list(APPEND ORRERY_WEB_PICTURES ${ORRERY_PAGE_DIR}/${name}.webp)
endforeach()
add_custom_command(OUTPUT ${ORRERY_WEB_PICTURES}
  COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/scripts/web_pictures.mjs ${ORRERY_PAGE_DIR} ${ORRERY_PICTURES}
  DEPENDS ${ORRERY_PICTURES} ${CMAKE_CURRENT_SOURCE_DIR}/scripts/web_pictures.mjs
  COMMENT "The page's pictures as WebP" VERBATIM)
add_custom_target(orrery_web_pictures ALL DEPENDS ${ORRERY_WEB_PICTURES})
target_link_options(orrery PRIVATE
  -sASYNCIFY
  # The deepest wait is a box opened by a click: main, the loop, the window
  # procedure, the pick and the box; 64 KiB holds its frames many times over.
  -sASYNCIFY_STACK_SIZE=65536
  # Returning from main ends the page's program: Module.onExit says so.
  -sEXIT_RUNTIME=1
  -sALLOW_MEMORY_GROWTH=1
  -sENVIRONMENT=web
  # WebGL 1 (OpenGL ES 2), which the subset draws with; no emulation of the
  # fixed-function pipeline of Emscripten's own.
  -sMAX_WEBGL_VERSION=1
  # No eval or new Function in orrery.js: the page's Content-Security-Policy
  # (index.html) allows scripts from its own files and WebAssembly only.
  -sDYNAMIC_EXECUTION=0
  # The page's loader writes the decoded pictures into the file system.
  -sEXPORTED_RUNTIME_METHODS=FS_createPath,FS_createDataFile)
# The page's own files (platform/web/page/: markup, style and script, each in a
# file of its own, so that the page can forbid inline script).
file(GLOB ORRERY_PAGE_FILES CONFIGURE_DEPENDS platform/web/page/*)
foreach(page_file ${ORRERY_PAGE_FILES})
  get_filename_component(name ${page_file} NAME)
  if(NOT name STREQUAL "loader.js")
    configure_file(${page_file} ${ORRERY_PAGE_DIR}/${name} COPYONLY)
  endif()
endforeach()
# The loader, told the files it loads and their sizes (cmake/web_loader.cmake).
set(ORRERY_LOADED_FILES orrery.wasm)
foreach(picture ${ORRERY_WEB_PICTURES})
  get_filename_component(name ${picture} NAME)
  list(APPEND ORRERY_LOADED_FILES ${name})
endforeach()
list(JOIN ORRERY_LOADED_FILES "," ORRERY_LOADED_FILES)
add_custom_command(OUTPUT ${ORRERY_PAGE_DIR}/loader.js
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_CURRENT_SOURCE_DIR}/platform/web/page/loader.js
    -DOUT=${ORRERY_PAGE_DIR}/loader.js -DPAGE_DIR=${ORRERY_PAGE_DIR} "-DFILES=${ORRERY_LOADED_FILES}"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/web_loader.cmake
  DEPENDS orrery ${ORRERY_WEB_PICTURES} platform/web/page/loader.js cmake/web_loader.cmake
  COMMENT "The page's loader with its files' sizes" VERBATIM)
add_custom_target(orrery_web_loader ALL DEPENDS ${ORRERY_PAGE_DIR}/loader.js)
configure_file(desktop/icons/48x48.png ${ORRERY_PAGE_DIR}/icon.png COPYONLY)
configure_file(LICENSE ${ORRERY_PAGE_DIR}/LICENSE COPYONLY)
configure_file(data/textures/CREDITS.md ${ORRERY_PAGE_DIR}/CREDITS.md COPYONLY)

# Offline and installable: the manifest's icons, and the service worker that
# keeps the page's files (platform/web/offline/), written from the folder as
# it stands once everything else has been written into it. A target that
# writes into the page's folder must come before it (add_dependencies).
configure_file(desktop/icons/192x192.png ${ORRERY_PAGE_DIR}/icon-192.png COPYONLY)
configure_file(desktop/icons/512x512.png ${ORRERY_PAGE_DIR}/icon-512.png COPYONLY)
add_custom_target(orrery_service_worker ALL
  COMMAND ${CMAKE_COMMAND} -DPAGE_DIR=${ORRERY_PAGE_DIR} -DVERSION=${PROJECT_VERSION}
    -DTEMPLATE=${CMAKE_CURRENT_SOURCE_DIR}/platform/web/offline/service_worker.js.in
    -P ${CMAKE_CURRENT_SOURCE_DIR}/platform/web/offline/service_worker.cmake
  VERBATIM)
add_dependencies(orrery_service_worker orrery orrery_web_loader)
