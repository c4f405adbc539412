// Window classes, windows and their device contexts.
#include "platform/sdl/sdl_windows.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sdl/display_modes.h"
#include "platform/sdl/gl_context.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/video.h"
#include "platform/sdl/window_icon.h"
#include "platform/sdl/window_state.h"
#include "platform/sdl/x11_colormap.h"

struct RegisteredClass {
    std::string name;
    WindowProc proc;
    InstanceHandle instance;
};

// ---------------------------------------------------------------------------
// Classes and windows. Written by the class and window functions below; read
// by them and, through find_window and first_window, by the event pump.
static std::vector<RegisteredClass> classes;  // registered window classes
static std::vector<PlatformWindow*> windows;  // live windows, oldest first

WindowHandle find_window(std::uint32_t sdl_window_id) {
    SDL_Window* sdl_window = SDL_GetWindowFromID(sdl_window_id);
    if (sdl_window == nullptr) return nullptr;
    for (PlatformWindow* window : windows) {
        if (window->sdl_window == sdl_window) return window;
    }
    return nullptr;
}

WindowHandle first_window() { return windows.empty() ? nullptr : windows.front(); }

void for_each_window(void (*action)(WindowHandle window)) {
    for (PlatformWindow* window : windows) action(window);
}

InstanceHandle get_module_handle() {
    static char module_marker;
    return &module_marker;
}

bool register_class(const WindowClass& window_class) {
    for (const RegisteredClass& known : classes) {
        if (known.name == window_class.class_name) return false;
    }
    classes.push_back({window_class.class_name, window_class.window_proc, window_class.instance});
    return true;
}

bool unregister_class(const char* class_name, InstanceHandle instance) {
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->name == class_name && it->instance == instance) {
            classes.erase(it);
            return true;
        }
    }
    return false;
}

bool adjust_window_rect(Rect*, std::uint32_t, std::uint32_t) { return true; }

WindowHandle create_window(std::uint32_t, const char* class_name, const char* title,
                           std::uint32_t style, int x, int y, int width, int height,
                           InstanceHandle instance) {
    const RegisteredClass* window_class = nullptr;
    for (const RegisteredClass& known : classes) {
        if (known.name == class_name && known.instance == instance) window_class = &known;
    }
    if (window_class == nullptr || !ensure_video()) return nullptr;

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

    auto* window = new PlatformWindow{
        sdl_window, window_class->proc, popup, bounds.x + x, bounds.y + y, {}};
    window->dc = PlatformDeviceContext{window, false, {}, false};
    windows.push_back(window);
    // A new window learns its size before it is shown, while it has no
    // rendering context yet.
    if (window->proc != nullptr) window->proc(window, WM_SIZE, 0, make_lparam(width, height));
    return window;
}

bool destroy_window(WindowHandle window) {
    auto it = std::find(windows.begin(), windows.end(), window);
    if (it == windows.end()) return false;
    if (window->proc != nullptr) window->proc(window, WM_DESTROY, 0, 0);
    windows.erase(it);
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

LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == WM_CLOSE) destroy_window(window);
    return 0;
}

// ---------------------------------------------------------------------------
// Device contexts. A window has exactly one device context of its own,
// handed out by get_dc.

DeviceContextHandle get_dc(WindowHandle window) {
    if (window == nullptr) return nullptr;
    window->dc.acquired = true;
    return &window->dc;
}

bool release_dc(WindowHandle window, DeviceContextHandle dc) {
    if (window == nullptr || dc != &window->dc || !dc->acquired) return false;
    dc->acquired = false;
    return true;
}
