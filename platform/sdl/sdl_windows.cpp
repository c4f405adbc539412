// The layer's windows found by their SDL window.
#include "platform/sdl/sdl_windows.h"

WindowHandle find_window(std::uint32_t sdl_window_id) {
    SDL_Window* sdl_window = SDL_GetWindowFromID(sdl_window_id);
    if (sdl_window == nullptr) return nullptr;
    for (std::size_t i = 0; i < window_count(); ++i) {
        if (window_at(i)->sdl_window == sdl_window) return window_at(i);
    }
    return nullptr;
}
