// The window-system layer: a small message-based windowing interface over
// SDL2. It gives the application shell the shapes it is written against (a
// message record with message and virtual-key numbers, a peek that never waits,
// dispatch to one window procedure, windows, device and rendering contexts,
// display modes, modal message boxes) and keeps SDL out of every other module.
#pragma once

#include <cstdint>

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

// ---------------------------------------------------------------------------
// Messages, with the numbers desktop programs know them by.
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;

// System-command parameters that the window procedure refuses.
constexpr WParam SC_SCREENSAVE = 0xF140;
constexpr WParam SC_MONITORPOWER = 0xF170;

// Virtual-key codes.
constexpr WParam VK_BACK = 0x08;
constexpr WParam VK_TAB = 0x09;
constexpr WParam VK_RETURN = 0x0D;
constexpr WParam VK_SHIFT = 0x10;
constexpr WParam VK_CONTROL = 0x11;
constexpr WParam VK_MENU = 0x12;
constexpr WParam VK_ESCAPE = 0x1B;
constexpr WParam VK_SPACE = 0x20;
constexpr WParam VK_LEFT = 0x25;
constexpr WParam VK_UP = 0x26;
constexpr WParam VK_RIGHT = 0x27;
constexpr WParam VK_DOWN = 0x28;
constexpr WParam VK_NUMPAD0 = 0x60;
constexpr WParam VK_MULTIPLY = 0x6A;
constexpr WParam VK_ADD = 0x6B;
constexpr WParam VK_SUBTRACT = 0x6D;
constexpr WParam VK_DECIMAL = 0x6E;
constexpr WParam VK_DIVIDE = 0x6F;
constexpr WParam VK_F1 = 0x70;  // 112
constexpr WParam VK_F2 = 0x71;
constexpr WParam VK_F3 = 0x72;
constexpr WParam VK_F4 = 0x73;
constexpr WParam VK_F5 = 0x74;
constexpr WParam VK_F12 = 0x7B;
constexpr WParam VK_OEM_PLUS = 0xBB;   // '=' / '+' on the main keyboard
constexpr WParam VK_OEM_MINUS = 0xBD;  // '-' / '_' on the main keyboard

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
// Puts a message on the queue as if the platform had produced it (tests and
// the layer itself).
void post_message(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param);
// The default handling of every message the window procedure does not handle.
LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param);

// ---------------------------------------------------------------------------
// Window class, windows and contexts.

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
constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

constexpr std::uint32_t CS_VREDRAW = 0x0001;
constexpr std::uint32_t CS_HREDRAW = 0x0002;
constexpr std::uint32_t CS_OWNDC = 0x0020;

constexpr std::uint32_t WS_EX_WINDOWEDGE = 0x00000100;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;

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

InstanceHandle get_module_handle();
// Registers the class; false if it cannot be registered (or already is).
bool register_class(const WindowClass& window_class);
bool unregister_class(const char* class_name, InstanceHandle instance);
// Grows a client rectangle to the outer rectangle of a window of that style.
// SDL's windows are sized by their client area, so a window built by this
// layer has an outer rectangle equal to its client rectangle: no change.
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
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box and returns the button the user chose, once the box is
// closed. Text and caption are UTF-8. While the box is open the window system
// is served and the owner takes no input; a quit signal (SIGINT, SIGTERM,
// SIGHUP) closes the box, answers as Escape would, and is then delivered as a
// close request of the main window. Where no box can be shown, and for every
// box after a quit signal, the caption and text go to standard error and the
// answer is IDOK (or IDNO for Yes/No).
int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags);

// Keeps the screen saver and display power saving off while the program runs.
void disable_screen_saver();
