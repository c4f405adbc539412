#include "platform/sdl/window_icon.h"

#include <SDL.h>

// 48 x 48 RGBA pixels, top row first, generated at build time from desktop/icons/48x48.rgba.
static constexpr int icon_side = 48;
static const unsigned char icon_pixels[] = {
#include "window_icon_pixels.inc"
};
static_assert(sizeof icon_pixels == icon_side * icon_side * 4, "the icon is 48 x 48 RGBA");

void apply_window_icon(SDL_Window* window) {
    // The surface only borrows the pixels; SDL copies them into the window's icon.
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(icon_pixels), icon_side,
                                           icon_side, 32, icon_side * 4, SDL_PIXELFORMAT_RGBA32);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}
