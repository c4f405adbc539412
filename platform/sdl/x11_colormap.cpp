// The colormap of an X11 window, freed after SDL destroys the window.
#include "platform/sdl/x11_colormap.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/sdl/video.h"

// ---------------------------------------------------------------------------
// Errors seen while the calls below run. Written by ignore_error (Xlib's error
// handler, called on the main thread inside XSync) and reset and read by
// guarded.
static bool error_seen = false;

static int ignore_error(Display*, XErrorEvent*) {
    error_seen = true;
    return 0;
}

// Runs `calls` on `display` with an error handler of its own: Xlib's default
// one ends the program on any error, as would a window that the server has
// already dropped. The XSync before hands earlier requests' errors to the
// handler they were made under; the one after collects those of `calls`.
// True when no error came.
template <typename Calls>
static bool guarded(Display* display, Calls calls) {
    XSync(display, False);
    error_seen = false;
    XErrorHandler previous = XSetErrorHandler(ignore_error);
    calls();
    XSync(display, False);
    XSetErrorHandler(previous);
    return !error_seen;
}

OwnColormap own_colormap(SDL_Window* window) {
    OwnColormap none{nullptr, 0};
    if (!video_driver_is("x11")) return none;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return none;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes{};
    bool read = guarded(display, [&] {
        if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0) {
            error_seen = true;
        }
    });
    if (!read || attributes.colormap == None || attributes.screen == nullptr) return none;
    // The screen's default colormap belongs to the server; freeing it is a no-op at best.
    if (attributes.colormap == DefaultColormapOfScreen(attributes.screen)) return none;
    return {display, attributes.colormap};
}

void free_own_colormap(const OwnColormap& colormap) {
    if (colormap.display == nullptr || colormap.id == 0) return;
    // A later SDL that frees the colormap itself makes this a BadColor, which is ignored.
    guarded(colormap.display, [&] { XFreeColormap(colormap.display, colormap.id); });
}
