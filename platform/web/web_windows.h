// The layer's windows and their device contexts, as the other modules of the
// browser backend see them. The page has one canvas: every window the program
// makes is drawn on it, one at a time.
#pragma once

#include "platform/window_system.h"

struct PlatformDeviceContext {
    PlatformWindow* window;
    bool acquired;
    bool format_set;
};

struct PlatformWindow {
    WindowProc proc;
    bool popup;  // full screen when the browser granted it
    PlatformDeviceContext dc;
};

// The newest live window (the one the canvas shows), or null.
WindowHandle current_window();
