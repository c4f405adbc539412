# The tests' seam in front of the window-system layer (tests/support/layer_seam.h): every program
# that links orrery_layer_seam has the layer functions below wrapped at link time by GNU ld's
# --wrap, so that the application's calls of them reach the seam first. Linked directly by each
# test, benchmark and fuzzer program, so that its objects are there before the application's
# archive asks for them.
include_guard(GLOBAL)
set(ORRERY_WRAPPED_FUNCTIONS register_class unregister_class change_display_mode
  restore_display_mode create_window destroy_window get_dc release_dc choose_pixel_format
  set_pixel_format create_context make_current delete_context swap_buffers message_box)
add_library(orrery_layer_seam OBJECT ${PROJECT_SOURCE_DIR}/tests/support/layer_seam.cpp)
target_include_directories(orrery_layer_seam PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(orrery_layer_seam PUBLIC orrery_core)
foreach(function ${ORRERY_WRAPPED_FUNCTIONS})
  target_link_options(orrery_layer_seam INTERFACE "LINKER:--wrap=${function}")
endforeach()
