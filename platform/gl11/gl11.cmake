# The OpenGL 1.1 subset over OpenGL ES 2 (platform/gl11/): what the program
# draws with where only ES 2 or WebGL 1 is to be had. The application's code is
# compiled against its headers (platform/gl11/include, first on the include
# path) and linked with orrery_gl11.
include_guard(GLOBAL)
file(GLOB ORRERY_GL11_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(orrery_gl11 STATIC ${ORRERY_GL11_SOURCES})
target_include_directories(orrery_gl11 BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
target_include_directories(orrery_gl11 PUBLIC ${PROJECT_SOURCE_DIR})
# Optimised in every build, the sanitizers' too: each frame passes a few hundred
# thousand vertices through it, and each click as many through its selection.
target_compile_options(orrery_gl11 PRIVATE -O2)
if(NOT EMSCRIPTEN)
  # Natively (the subset's own tests): Mesa's OpenGL ES 2 through GLVND.
  find_library(GLESV2_LIBRARY GLESv2 REQUIRED)
  target_link_libraries(orrery_gl11 PUBLIC ${GLESV2_LIBRARY})
endif()
