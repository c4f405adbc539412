// The window-system layer: the one interface the application includes. It
// gives the application shell the shapes it is written against (a message
// record with message and virtual-key numbers, a peek that never waits,
// dispatch to one window procedure, windows, device and rendering contexts,
// display modes, modal message boxes). Each backend implements all of it:
// platform/win32/ over the Windows API itself, platform/sdl/ over SDL2 for
// X11 and Wayland. Neither SDL's headers nor windows.h appear here.
#pragma once

#include <cstdint>

#include "platform/window_constants.h"

// ---------------------------------------------------------------------------
// Handles. Each is an opaque pointer; null means "none".
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformRenderContext;
using WindowHandle = PlatformWindow*;
using DeviceContextHandle = PlatformDeviceContext*;
using RenderContextHandle = PlatformRenderContext*;
using InstanceHandle = void*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Packs two 16-bit values the way mouse and size messages carry them:
// the first in the low word, the second in the high word.
constexpr LParam make_lparam(int low, int high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                               ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}
constexpr int low_word(LParam value) { return static_cast<int>(value & 0xFFFF); }
constexpr int high_word(LParam value) { return static_cast<int>((value >> 16) & 0xFFFF); }

struct Message {
    WindowHandle window;
    std::uint32_t message;
    WParam w_param;
    LParam l_param;
};

using WindowProc = LResult (*)(WindowHandle, std::uint32_t, WParam, LParam);

struct PixelFormatRequest {
    std::uint16_t size;
    std::uint16_t version;
    std::uint32_t flags;
    std::uint8_t pixel_type;
    std::uint8_t colour_bits;
    std::uint8_t depth_bits;
    std::uint8_t stencil_bits;
    std::uint8_t layer_type;
};
struct WindowClass {
    std::uint32_t style;
    WindowProc window_proc;
    InstanceHandle instance;
    const char* class_name;
};

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

// The layer's functions have C linkage, like the system calls they stand
// for, so that a program can put its own in front of any of them at link time.
extern "C" {

// ---------------------------------------------------------------------------
// Message queue.

// Takes the oldest message off the queue without waiting. Returns false when
// the queue is empty. Platform events are turned into messages here.
bool peek_message(Message* message);
// Key-downs of character keys also queue a WM_CHAR; nothing in the system
// reads it, but it keeps the translate step honest.
void translate_message(const Message* message);
// Calls the registered window procedure of the message's window.
LResult dispatch_message(const Message* message);
// Queues WM_QUIT with the exit code as its word parameter.
void post_quit_message(int exit_code);
// The default handling of every message the window procedure does not handle.
LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param);

// ---------------------------------------------------------------------------
// Window class, windows and contexts.

InstanceHandle get_module_handle();
// Registers the class; false if it cannot be registered (or already is).
bool register_class(const WindowClass& window_class);
bool unregister_class(const char* class_name, InstanceHandle instance);
// Grows a client rectangle to the outer rectangle of a window of that style.
// (SDL sizes its windows by their client area: there, no change.)
bool adjust_window_rect(Rect* rect, std::uint32_t style, std::uint32_t ex_style);
// Creates a hidden window of the registered class with the given outer size
// at (x, y). A WS_POPUP style gives a borderless full-screen window.
WindowHandle create_window(std::uint32_t ex_style, const char* class_name, const char* title,
                           std::uint32_t style, int x, int y, int width, int height,
                           InstanceHandle instance);
bool destroy_window(WindowHandle window);
void show_window(WindowHandle window);
void set_foreground_window(WindowHandle window);
void set_focus(WindowHandle window);
// The window that has the keyboard focus, or null.
WindowHandle get_focus();

DeviceContextHandle get_dc(WindowHandle window);
bool release_dc(WindowHandle window, DeviceContextHandle dc);
// Returns a format number (> 0) that meets the request on this device, or 0.
int choose_pixel_format(DeviceContextHandle dc, const PixelFormatRequest* request);
bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request);
RenderContextHandle create_context(DeviceContextHandle dc);
// A null device context and render context detach the current context.
bool make_current(DeviceContextHandle dc, RenderContextHandle rc);
bool delete_context(RenderContextHandle rc);
bool swap_buffers(DeviceContextHandle dc);

// ---------------------------------------------------------------------------
// Display modes and the cursor.
// Switches the display to width x height at the given depth for full screen.
// Returns false when the display offers no width x height mode.
bool change_display_mode(int width, int height, int bits_per_pixel);
// Returns to the user's own display mode.
void restore_display_mode();
void show_cursor(bool visible);

// ---------------------------------------------------------------------------
// Modal message boxes.
// Shows a modal box and returns the button the user chose, once the box is
// closed. Text and caption are UTF-8. While the box is open the window system
// is served and the owner takes no input, then or afterwards; a request to
// end (SIGINT, SIGTERM, SIGHUP; on Windows Ctrl+C, Ctrl+Break or closing the
// console) closes the box, answers No (or OK), and is then delivered as a
// close request of the main window. Where no box can be shown, and for every
// box after such a request, the caption and text go to standard error and
// the answer is IDOK (or IDNO for Yes/No).
int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags);

// Keeps the screen saver and display power saving off while the program runs.
void disable_screen_saver();
}  // extern "C"
