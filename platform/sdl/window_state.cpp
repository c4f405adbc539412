#include "platform/sdl/window_state.h"

#include <algorithm>
#include <vector>

#include "platform/sdl/gl_context.h"
#include "platform/sdl/video.h"

// ---------------------------------------------------------------------------
// Window state. Written by apply_window_state (SDL's events), give_focus and
// hold_focus (the windows and the boxes), disable_screen_saver (the loop);
// read by get_focus and by update_screen_saver.
static WindowHandle focus = nullptr;         // window with the keyboard focus
static std::vector<WindowHandle> minimised;  // between a minimise and the next restore
static bool focus_held = false;              // a box is open
static bool screen_saver_refused = false;    // asked for by disable_screen_saver

// The screen saver is held off only while the window with the focus is not
// minimised, as a desktop program refuses it only while it is the active one.
static void update_screen_saver() {
    if (!video_started()) return;
    bool is_minimised = std::find(minimised.begin(), minimised.end(), focus) != minimised.end();
    if (screen_saver_refused && focus != nullptr && !is_minimised) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

void apply_window_state(const SDL_Event& event, WindowHandle window) {
    // A display added, removed or turned may be the one the window is on.
    // (sdl2-compat turns SDL 3's display and window-display events into
    // these same SDL 2 events.)
    if (event.type == SDL_DISPLAYEVENT) reread_refresh_period();
    if (event.type != SDL_WINDOWEVENT || window == nullptr) return;
    switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            if (std::find(minimised.begin(), minimised.end(), window) == minimised.end()) {
                minimised.push_back(window);
            }
            break;
        case SDL_WINDOWEVENT_RESTORED:
            minimised.erase(std::remove(minimised.begin(), minimised.end(), window),
                            minimised.end());
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!focus_held) focus = window;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (!focus_held && focus == window) focus = nullptr;
            break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            reread_refresh_period();
            return;
        default:
            return;
    }
    update_screen_saver();
}

WindowHandle focus_window() { return focus; }

void give_focus(WindowHandle window) {
    focus = window;
    update_screen_saver();
}

void hold_focus(bool held) { focus_held = held; }

void forget_window_state(WindowHandle window) {
    if (focus == window) focus = nullptr;
    minimised.erase(std::remove(minimised.begin(), minimised.end(), window), minimised.end());
    update_screen_saver();
}

void disable_screen_saver() {
    screen_saver_refused = true;
    update_screen_saver();
}
