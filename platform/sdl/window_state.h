// The state that SDL's window events change besides the messages they carry:
// which window has the keyboard focus, which are minimised, and with them
// whether the screen saver is held off; and the refresh period after a move
// to another display. Main thread only.
#pragma once

#include <SDL.h>

#include "platform/window_system.h"

// Applies one event; `window` is the layer's window it names, or null.
void apply_window_state(const SDL_Event& event, WindowHandle window);
WindowHandle focus_window();
// The layer itself gave `window` the focus.
void give_focus(WindowHandle window);
// While a box is open the focus changes are the box's: the box hands the
// focus back to its owner when it closes, so the owner keeps it meanwhile,
// and the box after it has the same owner.
void hold_focus(bool held);
void forget_window_state(WindowHandle window);
