// The colormap that SDL's X11 driver makes for each window and never frees:
// without this, every window re-creation (each F1) leaves one more colormap
// in the X server for as long as the program runs. Main thread only, as SDL.
#pragma once

#include <SDL.h>

typedef struct _XDisplay Display;  // as Xlib declares it; its macros stay in the .cpp

struct OwnColormap {
    Display* display;  // SDL's connection, which outlives its windows
    unsigned long id;  // 0: nothing to free
};

// The colormap of `window`, read before the window is destroyed; nothing
// unless the driver is x11 and the window has one other than its screen's
// default.
OwnColormap own_colormap(SDL_Window* window);
// Frees it once its window is gone; an X error here is ignored.
void free_own_colormap(const OwnColormap& colormap);
