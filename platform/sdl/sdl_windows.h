// The layer's windows and their device contexts, as the other modules of the
// layer see them. Main thread only: SDL's window calls must come from the
// thread that initialised video.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/window_system.h"

struct PlatformDeviceContext {
    PlatformWindow* window;
    bool acquired;
    PixelFormatRequest format;
    bool format_set;
};

struct PlatformWindow {
    SDL_Window* sdl_window;
    WindowProc proc;
    bool popup;  // borderless, full screen when a mode was granted
    int x, y;    // where it was asked to be: its frame's top left, on the screen
    PlatformDeviceContext dc;
};

// The live window with this SDL id, or null.
WindowHandle find_window(std::uint32_t sdl_window_id);
// The oldest live window (the main window), or null.
WindowHandle first_window();
void for_each_window(void (*action)(WindowHandle window));
