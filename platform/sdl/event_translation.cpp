#include "platform/sdl/event_translation.h"

#include <algorithm>
#include <cmath>

// SDL key codes to virtual-key codes: each row maps the run of keys from
// `first` to `last` onto codes from `code` up. Keys in no row have no code.
struct KeyRun {
    SDL_Keycode first, last;
    WParam code;
};
static constexpr KeyRun key_table[] = {
    {SDLK_a, SDLK_z, 'A'},
    {SDLK_0, SDLK_9, '0'},
    {SDLK_F1, SDLK_F12, VK_F1},
    {SDLK_KP_1, SDLK_KP_9, VK_NUMPAD0 + 1},
    {SDLK_KP_0, SDLK_KP_0, VK_NUMPAD0},
    {SDLK_BACKSPACE, SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, SDLK_TAB, VK_TAB},
    {SDLK_RETURN, SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, SDLK_LALT, VK_MENU},
    {SDLK_RALT, SDLK_RALT, VK_MENU},
    {SDLK_ESCAPE, SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, SDLK_SPACE, VK_SPACE},
    {SDLK_LEFT, SDLK_LEFT, VK_LEFT},
    {SDLK_UP, SDLK_UP, VK_UP},
    {SDLK_RIGHT, SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, SDLK_DOWN, VK_DOWN},
    {SDLK_KP_MULTIPLY, SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_EQUALS, SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_PLUS, SDLK_PLUS, VK_OEM_PLUS},
    {SDLK_MINUS, SDLK_MINUS, VK_OEM_MINUS},
};

static WParam virtual_key(SDL_Keycode key) {
    for (const KeyRun& run : key_table) {
        if (key >= run.first && key <= run.last) return run.code + WParam(key - run.first);
    }
    return 0;
}

static WParam mouse_key_state(std::uint32_t buttons) {
    WParam state = 0;
    if (buttons & SDL_BUTTON_LMASK) state |= 0x0001;  // MK_LBUTTON
    if (buttons & SDL_BUTTON_RMASK) state |= 0x0002;  // MK_RBUTTON
    return state;
}

// Mouse positions as the window procedure gets them: inside the client area.
static LParam client_position(const EventTarget& target, int x, int y) {
    x = std::clamp(x, 0, std::max(target.width - 1, 0));
    y = std::clamp(y, 0, std::max(target.height - 1, 0));
    return make_lparam(x, y);
}

// A wheel event's turn in WHEEL_DELTA parts a notch, positive away from the
// user, as the signed high word the message carries. SDL gives whole notches
// in `y` and, from 2.0.18, a touchpad's fractions in `preciseY`. Both come as
// the system scrolls (a "natural" touchpad setting has already flipped them),
// as Windows hands the wheel to its programs.
static WParam wheel_turn(const SDL_MouseWheelEvent& wheel) {
#if SDL_VERSION_ATLEAST(2, 0, 18)
    const float notches = wheel.preciseY;
#else
    const float notches = static_cast<float>(wheel.y);
#endif
    const long turn = std::clamp(std::lround(notches * WHEEL_DELTA), -32768L, 32767L);
    return WParam{static_cast<std::uint16_t>(turn)} << 16;
}

std::uint32_t event_window_id(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return event.key.windowID;
        case SDL_MOUSEMOTION:
            return event.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return event.button.windowID;
        case SDL_MOUSEWHEEL:
            return event.wheel.windowID;
        case SDL_WINDOWEVENT:
            return event.window.windowID;
        default:
            return 0;
    }
}

static Message translate_window_event(const SDL_WindowEvent& event, const EventTarget& target) {
    Message none{nullptr, WM_NULL, 0, 0};
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return {target.window, WM_SIZE, 0, make_lparam(event.data1, event.data2)};
        case SDL_WINDOWEVENT_MINIMIZED:
            // A minimised window reports a client area of 0 by 0.
            return {target.window, WM_SIZE, 0, make_lparam(0, 0)};
        case SDL_WINDOWEVENT_RESTORED:
            return {target.window, WM_SIZE, 0, make_lparam(target.width, target.height)};
        case SDL_WINDOWEVENT_EXPOSED:
            // Uncovered: its picture has to be drawn again.
            return {target.window, WM_PAINT, 0, 0};
        case SDL_WINDOWEVENT_CLOSE:
            return {target.window, WM_CLOSE, 0, 0};
        default:
            return none;
    }
}

Message translate_event(const SDL_Event& event, const EventTarget& target) {
    const Message none{nullptr, WM_NULL, 0, 0};
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            WParam key = virtual_key(event.key.keysym.sym);
            // SDL gives a newly focused window its keyboard focus a moment
            // after the X server does; keys in between carry no window. They
            // belong to the window that has the focus.
            WindowHandle window = event.key.windowID == 0 ? target.focus : target.window;
            if (key == 0 || window == nullptr) return none;
            // Repeat count 1 in the low word; bit 30 set when the key was already down.
            LParam repeat = 1 | (event.key.repeat ? (LParam{1} << 30) : 0);
            return {window, event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, key, repeat};
        }
        case SDL_MOUSEMOTION:
            if (target.window == nullptr) return none;
            return {target.window, WM_MOUSEMOVE, mouse_key_state(event.motion.state),
                    client_position(target, event.motion.x, event.motion.y)};
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t message = WM_NULL;
            if (event.button.button == SDL_BUTTON_LEFT)
                message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            if (event.button.button == SDL_BUTTON_RIGHT)
                message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            if (message == WM_NULL || target.window == nullptr) return none;
            return {target.window, message, mouse_key_state(target.buttons),
                    client_position(target, event.button.x, event.button.y)};
        }
        case SDL_MOUSEWHEEL:
            // The pointer's place is not carried: the program zooms about the
            // view's centre wherever the pointer is.
            if (target.window == nullptr) return none;
            return {target.window, WM_MOUSEWHEEL, wheel_turn(event.wheel), 0};
        case SDL_WINDOWEVENT:
            if (target.window == nullptr) return none;
            return translate_window_event(event.window, target);
        default:
            return none;
    }
}
