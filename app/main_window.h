// The main window with its device and rendering contexts, windowed or full
// screen.
#pragma once

#include "platform/window_system.h"
#include "scene/scene_state.h"

// Handles of the one main window. Written by open_main_window and cleared by
// close_main_window; window_handle owns the information boxes, device_context
// is the target of the buffer swap.
extern InstanceHandle instance_handle;
extern DeviceContextHandle device_context;
extern RenderContextHandle render_context;

// Opens the window with a current rendering context and the render state set
// up. Returns false after showing why it could not.
bool open_main_window(const char* title, int width, int height, int colour_bits,
                      bool fullscreen_wish);
// Releases whatever the window holds; safe with any combination of handles.
void close_main_window();
