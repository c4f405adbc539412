// Display modes for full screen, and the cursor.
#include "platform/sdl/display_modes.h"

#include "platform/sdl/gl_context.h"
#include "platform/sdl/sdl_windows.h"
#include "platform/sdl/video.h"

// ---------------------------------------------------------------------------
// Display state. Written by change_display_mode, restore_display_mode and
// note_window_display (a window is destroyed); read by window creation.
static bool mode_granted = false;     // a full-screen mode was granted
static SDL_DisplayMode granted_mode;  // ... and this is the mode
static int last_display = 0;          // display that held the last window

const SDL_DisplayMode* full_screen_mode() { return mode_granted ? &granted_mode : nullptr; }

int display_for_windows() { return last_display; }

void note_window_display(int display) { last_display = display; }

bool change_display_mode(int width, int height, int bits_per_pixel) {
    if (!ensure_video()) return false;
    // The display must offer exactly width x height; SDL's "closest mode"
    // would hand back a larger one. Of such modes, the requested depth wins.
    // The mode is asked of the display that held the last window; the
    // full-screen window is created there.
    if (last_display >= SDL_GetNumVideoDisplays()) last_display = 0;
    int modes = SDL_GetNumDisplayModes(last_display);
    bool found = false;
    SDL_DisplayMode chosen{};
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(last_display, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        bool depth_matches = static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits_per_pixel;
        bool chosen_matches = static_cast<int>(SDL_BITSPERPIXEL(chosen.format)) == bits_per_pixel;
        if (!found || (depth_matches && !chosen_matches)) chosen = mode;
        found = true;
    }
    if (!found) return false;
    granted_mode = chosen;
    mode_granted = true;
    return true;
}

void restore_display_mode() {
    // SDL returns the display to the desktop mode when the full-screen window
    // leaves full screen or is destroyed.
    for (std::size_t i = 0; i < window_count(); ++i) {
        WindowHandle window = window_at(i);
        if (window->popup) SDL_SetWindowFullscreen(window->sdl_window, 0);
    }
    mode_granted = false;
    reread_refresh_period();
}

void show_cursor(bool visible) {
    if (video_started()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}
