// The window procedure and the input state it keeps: keys held down, the
// pointer, the right-button drag, the view angles and scale, and the pause.
#pragma once

#include <cstdint>

#include "platform/window_system.h"
#include "scene/scene_state.h"

// Input state. Written by window_proc (and key_down's F-key entries also
// cleared by the idle pass); read by the loop. The view values and animating
// it writes are declared with the scene state.
extern std::uint8_t key_down[256];
extern std::int32_t mouse_x;
extern std::int32_t mouse_y;
extern std::int32_t last_mouse_x;
extern std::int32_t last_mouse_y;
extern std::uint8_t dragging;
// Set by a size change or an uncovering of the window, cleared by the idle
// pass that draws the picture again (also while paused).
extern std::uint8_t picture_stale;

LResult window_proc(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param);
