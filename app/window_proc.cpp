// The main window's procedure: turns messages into the input state (keys,
// pointer, drag, view angles and scale, pause) and forwards size changes and
// left clicks.
#include "app/window_proc.h"

#include "render/render_state.h"
#include "scene/picking.h"

// ---------------------------------------------------------------------------
// Input state. Written here (the idle pass also clears the F-key entries of
// key_down and picture_stale); read by the main loop. The view values and
// animating, which this procedure also writes, live with the scene state.
std::uint8_t key_down[256] = {};
std::int32_t mouse_x = 0;
std::int32_t mouse_y = 0;
std::int32_t last_mouse_x = 0;
std::int32_t last_mouse_y = 0;
std::uint8_t dragging = 0;
std::uint8_t picture_stale = 0;

// The wheel's turn not yet acted on, in WHEEL_DELTA parts of a notch: a
// touchpad's scroll comes in fractions of a notch, which add up. Written and
// read by on_wheel only.
static int wheel_rest = 0;

// Both double: the scale sum and the drag quotient are formed in double
// precision and rounded to float only when stored.
static constexpr double view_scale_step = 0.3;
static constexpr double drag_divisor = 1.0;

static void scale_view(int steps) {
    view_scale = static_cast<float>(static_cast<double>(view_scale) + steps * view_scale_step);
}

static void on_key_down(WParam key) {
    switch (key) {
        case VK_SPACE:
            animating = animating == 0 ? 1 : 0;
            break;
        case VK_ADD:
            scale_view(1);
            break;
        case VK_SUBTRACT:
            scale_view(-1);
            break;
        default:
            // Codes beyond the table cannot come from a keyboard; ignore them.
            if (key < 256) key_down[key] = 1;
            break;
    }
}

// Each whole notch (WHEEL_DELTA) turned away from the user scales up as
// keypad plus does, each towards the user down as keypad minus; one notch at
// a time, so that the sums are those of the keys. The turn is the signed high
// word of the word parameter.
static void on_wheel(WParam w_param) {
    wheel_rest += static_cast<std::int16_t>(high_word(static_cast<LParam>(w_param)));
    for (; wheel_rest >= WHEEL_DELTA; wheel_rest -= WHEEL_DELTA) scale_view(1);
    for (; wheel_rest <= -WHEEL_DELTA; wheel_rest += WHEEL_DELTA) scale_view(-1);
}

static void on_mouse_move(LParam position) {
    mouse_x = low_word(position);
    mouse_y = high_word(position);
    if (dragging) {
        // Moving right by n pixels adds n degrees of turn, down adds tilt.
        // The differences are integer; the quotient and sum are double.
        view_turn = static_cast<float>(view_turn - (last_mouse_x - mouse_x) / drag_divisor);
        view_tilt = static_cast<float>(view_tilt - (last_mouse_y - mouse_y) / drag_divisor);
    }
    last_mouse_x = mouse_x;
    last_mouse_y = mouse_y;
}

LResult window_proc(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    switch (message) {
        case WM_SIZE:
            resize_view(low_word(l_param), high_word(l_param));
            picture_stale = 1;
            return 0;
        case WM_PAINT:
            picture_stale = 1;
            return def_window_proc(window, message, w_param, l_param);
        case WM_CLOSE:
            // The window itself is destroyed after the loop has ended.
            post_quit_message(0);
            return 0;
        case WM_KEYDOWN:
            on_key_down(w_param);
            return 0;
        case WM_KEYUP:
            if (w_param < 256) key_down[w_param] = 0;
            return 0;
        case WM_SYSCOMMAND:
            // Screen saver and monitor power saving stay off while we run.
            if (w_param == SC_SCREENSAVE || w_param == SC_MONITORPOWER) return 0;
            return def_window_proc(window, message, w_param, l_param);
        case WM_MOUSEMOVE:
            on_mouse_move(l_param);
            return 0;
        case WM_MOUSEWHEEL:
            on_wheel(w_param);
            return 0;
        case WM_LBUTTONDOWN:
            pick_at(low_word(l_param), high_word(l_param));
            return 0;
        case WM_RBUTTONDOWN:
            dragging = 1;
            return 0;
        case WM_RBUTTONUP:
            dragging = 0;
            return 0;
        default:
            return def_window_proc(window, message, w_param, l_param);
    }
}
