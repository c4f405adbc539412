// Pixel formats, GL rendering contexts and the paced buffer swap.
#include "platform/sdl/gl_context.h"

#include <SDL.h>

#include "platform/common/swap_pacing.h"
#include "platform/sdl/sdl_windows.h"

struct PlatformRenderContext {
    SDL_GLContext gl_context;
    PlatformWindow* window;
};

// ---------------------------------------------------------------------------
// GL state. window_format is written by set_pixel_format and read at window
// creation; the pacing is written and read by swap_buffers, and made to read
// the period again by make_current (a new context) and reread_refresh_period
// (the window state and display modes).
static PixelFormatRequest window_format = {
    40,
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    16,
    16,
    0,
    PFD_MAIN_PLANE};
static SwapPacing pacing;
static bool period_stale = true;

static void apply_gl_attributes(const PixelFormatRequest& format) {
    // 16 colour bits ask for 5/6/5; more ask for 8 bits a channel. The display
    // may give more than asked, never less.
    int red = format.colour_bits <= 16 ? 5 : 8;
    int green = format.colour_bits <= 16 ? 6 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depth_bits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencil_bits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.flags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

void apply_window_pixel_format() { apply_gl_attributes(window_format); }

void reread_refresh_period() { period_stale = true; }

bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (dc == nullptr || format <= 0 || request == nullptr) return false;
    dc->format = *request;
    dc->format_set = true;
    window_format = *request;
    return true;
}

RenderContextHandle create_context(DeviceContextHandle dc) {
    if (dc == nullptr || !dc->format_set) return nullptr;
    apply_gl_attributes(dc->format);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    // SDL makes a new context current at once; a rendering context here only
    // becomes current through make_current, so the binding is undone.
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_GLContext gl_context = SDL_GL_CreateContext(dc->window->sdl_window);
    if (gl_context == nullptr) return nullptr;
    SDL_GL_MakeCurrent(previous_window, previous_context);
    return new PlatformRenderContext{gl_context, dc->window};
}

bool make_current(DeviceContextHandle dc, RenderContextHandle rc) {
    if (dc == nullptr && rc == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (dc == nullptr || rc == nullptr) return false;
    if (SDL_GL_MakeCurrent(dc->window->sdl_window, rc->gl_context) != 0) return false;
    // Ask the driver to pace the frames to the display. Whether it does is
    // measured at the swaps (the pacing), not taken from the swap interval it
    // reports: some drivers accept the interval and ignore it.
    SDL_GL_SetSwapInterval(1);
    period_stale = true;
    return true;
}

bool delete_context(RenderContextHandle rc) {
    if (rc == nullptr) return false;
    if (SDL_GL_GetCurrentContext() == rc->gl_context) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(rc->gl_context);
    delete rc;
    return true;
}

// The refresh period of the display that holds the window, in counter ticks;
// 60 Hz where the display does not say. SDL 2 caches the current mode, so a
// rate changed outside the program is seen only once SDL re-reads its modes.
// (SDL 3 follows such changes, but sdl2-compat has no SDL 2 event to say so;
// the period is re-read at the events that SDL 2 has.)
static std::uint64_t refresh_period(SDL_Window* window) {
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window);
    int refresh = 60;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        refresh = mode.refresh_rate;
    }
    return SDL_GetPerformanceFrequency() / static_cast<std::uint64_t>(refresh);
}

// Where the driver does not pace the frames (llvmpipe under Xvfb, many
// virtual machines and remote desktops), the loop would draw as fast as it
// can, spin a core and run the animation several times too fast: the swap
// then waits out the display's refresh period itself.
bool swap_buffers(DeviceContextHandle dc) {
    if (dc == nullptr) return false;
    SDL_Window* window = dc->window->sdl_window;
    if (period_stale) {
        std::uint64_t period = refresh_period(window);
        if (period != pacing.period()) pacing.set_period(period);
        period_stale = false;
    }
    std::uint64_t wait = pacing.wait_before_swap(SDL_GetPerformanceCounter());
    if (wait > 0) {
        std::uint64_t frequency = SDL_GetPerformanceFrequency();
        SDL_Delay(static_cast<Uint32>((wait * 1000 + frequency - 1) / frequency));
    }
    std::uint64_t began = SDL_GetPerformanceCounter();
    SDL_GL_SwapWindow(window);
    pacing.swap_done(began, SDL_GetPerformanceCounter());
    return true;
}
