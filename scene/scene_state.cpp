// The state the application shell and the scene share.
#include "scene/scene_state.h"

// ---------------------------------------------------------------------------
// Written by the idle pass (the switches), the window procedure (view values,
// animating) and the main window's opening and closing (window_handle); read
// by the scene drawing, the animation step and the pick.
std::uint8_t lighting_on = 1;
std::uint8_t texturing_on = 1;
std::uint8_t solid_fill = 1;
std::int32_t sphere_mode = 1;
float view_turn = 0.0f;
float view_tilt = 22.5f;
float view_roll = 0.0f;
float view_scale = 1.0f;
std::uint8_t animating = 1;
WindowHandle window_handle = nullptr;
