// SDL events to the system's messages, as a function without side effects:
// what it needs to know of the layer's windows comes in as a value.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/window_system.h"

struct EventTarget {
    WindowHandle window;    // the layer's window the event names, or null
    WindowHandle focus;     // the window with the keyboard focus, or null
    int width, height;      // the client size of `window`
    std::uint32_t buttons;  // SDL's mouse-button mask as it is now
};

// The SDL id of the window an event names; 0 for none.
std::uint32_t event_window_id(const SDL_Event& event);
// The message that the event carries for `target`; WM_NULL for none. SDL's
// quit event carries none: the queue keeps the end of the session itself.
Message translate_event(const SDL_Event& event, const EventTarget& target);
