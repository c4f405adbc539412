// The layer's windows, as the other modules of the layer see them: each is an
// SDL window, entered in the window list (platform/common/window_list.h) with
// its procedure and device context. Main thread only: SDL's window calls must
// come from the thread that initialised video.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/common/window_list.h"

struct PlatformWindow {
    SDL_Window* sdl_window;
    bool popup;  // borderless, full screen when a mode was granted
    int x, y;    // where it was asked to be: its frame's top left, on the screen
};

// The live window with this SDL id, or null.
WindowHandle find_window(std::uint32_t sdl_window_id);
