// The view and display state that the application shell changes and the scene
// reads: the display switches, the view angles and scale, the pause, and the
// window that owns the information boxes.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

// Display switches, each a byte holding 0 or 1 (sphere_mode holds 1 or 2).
// Written by the idle pass (F2 to F5); read by the scene drawing.
extern std::uint8_t lighting_on;
extern std::uint8_t texturing_on;
extern std::uint8_t solid_fill;
extern std::int32_t sphere_mode;

// View values and the pause. Written by the window procedure; read by the
// scene drawing (view values) and the animation step (animating).
extern float view_turn;
extern float view_tilt;
extern float view_roll;  // always 0
extern float view_scale;
extern std::uint8_t animating;

// The main window. Written by open_main_window and close_main_window; read by
// the pick as the owner of the information boxes.
extern WindowHandle window_handle;
