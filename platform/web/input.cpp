// The page's keys and mouse as the messages and virtual keys the desktop
// backends give: keys anywhere in the page, presses and the wheel on the
// canvas, moves and releases anywhere (a drag goes on outside the canvas, its
// positions held at the canvas's edge, and ends wherever the button is let
// go). Touch is touch.cpp's.
#include "platform/web/input.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/web/key_codes.h"
#include "platform/web/message_queue.h"
#include "platform/web/web_windows.h"

// ---------------------------------------------------------------------------
// Mouse state. Written and read by the mouse handlers.
static WParam buttons_held = 0;  // MK_LBUTTON, MK_RBUTTON of presses made on the canvas

static constexpr WParam mk_lbutton = 0x0001;
static constexpr WParam mk_rbutton = 0x0002;

// A right press opens the browser's context menu over the canvas, which
// would take the release of a drag and the next clicks.
EM_JS(void, keep_context_menu_off_canvas, (), {
    document.getElementById('canvas').addEventListener('contextmenu', (event) => {
        event.preventDefault();
    });
});

// Page coordinates to canvas pixels, held inside the canvas; two 16-bit
// halves, x low. -1 for a point outside the canvas unless `hold_inside`.
EM_JS(int, canvas_pixel, (double client_x, double client_y, int hold_inside), {
    const canvas = document.getElementById('canvas');
    const box = canvas.getBoundingClientRect();
    const scale_x = box.width > 0 ? canvas.width / box.width : 1;
    const scale_y = box.height > 0 ? canvas.height / box.height : 1;
    const x = Math.floor((client_x - box.left) * scale_x);
    const y = Math.floor((client_y - box.top) * scale_y);
    const inside = x >= 0 && y >= 0 && x < canvas.width && y < canvas.height;
    if (!inside && !hold_inside) return -1;
    const clamp = (value, size) => Math.min(Math.max(value, 0), Math.max(size - 1, 0));
    return (clamp(y, canvas.height) << 16) | clamp(x, canvas.width);
});

static EM_BOOL on_key(int event_type, const EmscriptenKeyboardEvent* event, void*) {
    WParam key = virtual_key(event->code);
    WindowHandle window = current_window();
    // Once the program has ended (no window, no box) the keys are the
    // browser's again. The question asked when full screen is refused comes
    // while no window is open.
    if (key == 0 || (window == nullptr && !box_open())) return EM_FALSE;
    bool down = event_type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Repeat count 1 in the low word; bit 30 set when the key was already down.
    LParam repeat = 1 | (event->repeat ? (LParam{1} << 30) : 0);
    if (window != nullptr) post_message({window, down ? WM_KEYDOWN : WM_KEYUP, key, repeat});
    // Box or not: a reload (F5), the help page (F1) or a lost focus (Tab)
    // would lose the program, so the browser never acts on these keys while
    // it runs. The box's own keys (Enter, Escape, Space, Tab) are its
    // dialog's, which sees them first (message_box.cpp).
    return key_kept_from_browser(key);
}

static int pixel_of(const EmscriptenMouseEvent* event, bool hold_inside) {
    return canvas_pixel(static_cast<double>(event->clientX), static_cast<double>(event->clientY),
                        hold_inside ? 1 : 0);
}

static LParam position_of(const EmscriptenMouseEvent* event) {
    int pixel = pixel_of(event, true);
    return make_lparam(pixel & 0xFFFF, pixel >> 16);
}

static WParam button_mask(unsigned short button) {
    return button == 0 ? mk_lbutton : button == 2 ? mk_rbutton : 0;
}

static EM_BOOL on_press(int, const EmscriptenMouseEvent* event, void*) {
    WindowHandle window = current_window();
    WParam mask = button_mask(event->button);
    if (window == nullptr || mask == 0) return EM_FALSE;
    buttons_held |= mask;
    post_message({window, mask == mk_lbutton ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, buttons_held,
                  position_of(event)});
    return EM_TRUE;
}

static EM_BOOL on_release(int, const EmscriptenMouseEvent* event, void*) {
    WindowHandle window = current_window();
    WParam mask = button_mask(event->button);
    if (window == nullptr || (buttons_held & mask) == 0) return EM_FALSE;
    buttons_held &= ~mask;
    post_message({window, mask == mk_lbutton ? WM_LBUTTONUP : WM_RBUTTONUP, buttons_held,
                  position_of(event)});
    return EM_FALSE;
}

// The wheel's scroll as Windows gives it: 120 a notch, positive away from the
// user (the page's deltaY is positive towards the user). A notch is 100
// pixels in Chromium and Safari, 3 lines in Firefox; a page counts as a notch.
// A touchpad's scroll and pinch (the latter as a wheel with Ctrl) come in
// fractions, which the program adds up. The page neither scrolls nor zooms.
static EM_BOOL on_wheel(int, const EmscriptenWheelEvent* event, void*) {
    WindowHandle window = current_window();
    if (window == nullptr) return EM_FALSE;
    const double per_unit = event->deltaMode == DOM_DELTA_LINE   ? WHEEL_DELTA / 3.0
                            : event->deltaMode == DOM_DELTA_PAGE ? WHEEL_DELTA
                                                                 : WHEEL_DELTA / 100.0;
    const long turn = std::clamp(std::lround(-event->deltaY * per_unit), -32768L, 32767L);
    if (turn != 0) post_message({window, WM_MOUSEWHEEL, WParam{std::uint16_t(turn)} << 16, 0});
    return EM_TRUE;
}

static EM_BOOL on_move(int, const EmscriptenMouseEvent* event, void*) {
    WindowHandle window = current_window();
    if (window == nullptr) return EM_FALSE;
    // Over the canvas every move counts; elsewhere only those of a drag
    // begun on it.
    int pixel = pixel_of(event, buttons_held != 0);
    if (pixel < 0) return EM_FALSE;
    post_message({window, WM_MOUSEMOVE, buttons_held, make_lparam(pixel & 0xFFFF, pixel >> 16)});
    return EM_FALSE;
}

LParam canvas_position(double client_x, double client_y) {
    const int pixel = canvas_pixel(client_x, client_y, 1);
    return make_lparam(pixel & 0xFFFF, pixel >> 16);
}

void listen_to_input() {
    static bool listening = false;
    if (listening) return;
    listening = true;
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, on_key);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, on_key);
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, on_press);
    emscripten_set_mouseup_callback(page, nullptr, EM_FALSE, on_release);
    emscripten_set_mousemove_callback(page, nullptr, EM_FALSE, on_move);
    emscripten_set_wheel_callback("#canvas", nullptr, EM_FALSE, on_wheel);
    keep_context_menu_off_canvas();
}
