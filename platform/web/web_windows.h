// The layer's windows, as the other modules of the browser backend see them.
// The page has one canvas: every window the program makes is drawn on it,
// one at a time, and the newest live window (current_window) is the one it
// shows. Each window is entered in the window list (platform/common/
// window_list.h) with its procedure and device context.
#pragma once

#include "platform/common/window_list.h"

struct PlatformWindow {
    bool popup;  // full screen when the browser granted it
};
