// The layer's window calls: making, showing and ending SDL windows, and the
// keyboard focus. The window classes and device contexts are the window
// list's (platform/common/window_list.h).
#include "platform/sdl/display_modes.h"
#include "platform/sdl/gl_context.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/sdl_windows.h"
#include "platform/sdl/video.h"
#include "platform/sdl/window_icon.h"
#include "platform/sdl/window_state.h"
#include "platform/sdl/x11_colormap.h"

InstanceHandle get_module_handle() {
    static char module_marker;
    return &module_marker;
}

WindowHandle create_window(std::uint32_t, const char* class_name, const char* title,
                           std::uint32_t style, int x, int y, int width, int height,
                           InstanceHandle instance) {
    WindowProc proc = nullptr;
    if (!find_window_class(class_name, instance, &proc) || !ensure_video()) return nullptr;

    bool popup = (style & WS_POPUP) != 0;
    // SDL chooses a window's visual when the window is created, so the pixel
    // format of the last set_pixel_format call is applied here.
    apply_window_pixel_format();
    // A windowed window can be resized and maximised by the user; its size
    // changes reach the window procedure as WM_SIZE.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= popup ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
    // Positions are relative to the display that held the last window, so
    // that F1 switches on the display the user is looking at.
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(display_for_windows(), &bounds) != 0) bounds = SDL_Rect{0, 0, 0, 0};
    SDL_Window* sdl_window =
        SDL_CreateWindow(title, bounds.x + x, bounds.y + y, width, height, flags);
    if (sdl_window == nullptr) return nullptr;
    apply_window_icon(sdl_window);
    const SDL_DisplayMode* mode = full_screen_mode();
    if (popup && mode != nullptr) SDL_SetWindowDisplayMode(sdl_window, mode);

    auto* window = new PlatformWindow{sdl_window, popup, bounds.x + x, bounds.y + y};
    add_window(window, proc, width, height);
    return window;
}

bool destroy_window(WindowHandle window) {
    if (!remove_window(window)) return false;
    int display = SDL_GetWindowDisplayIndex(window->sdl_window);
    if (display >= 0) note_window_display(display);
    // SDL leaves the window's colormap behind in the X server.
    OwnColormap colormap = own_colormap(window->sdl_window);
    SDL_DestroyWindow(window->sdl_window);
    free_own_colormap(colormap);
    forget_window_state(window);
    forget_messages_for(window);
    delete window;
    return true;
}

void show_window(WindowHandle window) {
    SDL_ShowWindow(window->sdl_window);
    if (!window->popup && sdl3_underneath()) {
        // SDL 2 asks the window manager to put the frame where the window was
        // asked to be; SDL 3 moves the client area there once the window is
        // mapped, which at the top of the screen pushes the title bar off it
        // and leaves the window with nothing to drag it by. The frame's size
        // is known by then: the client area goes that far in from the spot.
        // It goes there in two moves: openbox takes a request to move a
        // window to where its client area is now for a program's mistake and
        // ignores it, and that is what the one move would ask for.
        int top = 0, left = 0;
        if (SDL_GetWindowBordersSize(window->sdl_window, &top, &left, nullptr, nullptr) == 0 &&
            (top > 0 || left > 0)) {
            SDL_SetWindowPosition(window->sdl_window, window->x + left, window->y + top + 1);
            SDL_SetWindowPosition(window->sdl_window, window->x + left, window->y + top);
        }
    }
    if (window->popup && full_screen_mode() != nullptr) {
        SDL_SetWindowFullscreen(window->sdl_window, SDL_WINDOW_FULLSCREEN);
        // The full-screen mode may refresh at another rate than the desktop's.
        reread_refresh_period();
    }
}

void set_foreground_window(WindowHandle window) { SDL_RaiseWindow(window->sdl_window); }

void set_focus(WindowHandle window) {
    SDL_SetWindowInputFocus(window->sdl_window);
    give_focus(window);
}

WindowHandle get_focus() { return focus_window(); }
