// The window classes and the live windows of the backends that keep them
// themselves (SDL's and the browser's; Windows keeps its own): each live
// window's class procedure and its one device context, in the order the
// windows were made. A backend makes and ends its own PlatformWindow and
// enters it here; the layer's calls that need no more than this (the
// classes, the device contexts, the default procedure) are answered here.
// Main thread only.
#pragma once

#include <cstddef>

#include "platform/window_system.h"

// A window has exactly one device context of its own, handed out by get_dc.
struct PlatformDeviceContext {
    PlatformWindow* window;
    bool acquired;              // handed out by get_dc and not released since
    PixelFormatRequest format;  // the last set_pixel_format's request
    bool format_set;
};

// The procedure of the class that `instance` registered as `class_name`.
// False when no such class is registered.
bool find_window_class(const char* class_name, InstanceHandle instance, WindowProc* proc);
// Enters a new window with its class's procedure and tells it its size
// (WM_SIZE): a new window learns its size before it is shown, while it has
// no rendering context yet.
void add_window(WindowHandle window, WindowProc proc, int width, int height);
// Takes a live window out, once its procedure has had WM_DESTROY; its device
// context goes with it. False when `window` is not a live window.
bool remove_window(WindowHandle window);

// The live windows, oldest first.
std::size_t window_count();
WindowHandle window_at(std::size_t index);
// The oldest live window (the main window), or null.
WindowHandle first_window();
// The newest live window (the one the page's canvas shows), or null.
WindowHandle current_window();
// The procedure of a live window, or null.
WindowProc window_proc(WindowHandle window);
