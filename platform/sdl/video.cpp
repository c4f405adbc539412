// Video start-up and the layer's SDL hints.
#include "platform/sdl/video.h"

#include <SDL.h>

#include <cstring>

#include "platform/sdl/quit_signal.h"

// ---------------------------------------------------------------------------
// Video state. Written by ensure_video; read by every module through
// video_started().
static bool started = false;

static void set_start_up_hints() {
    // SDL would hold the screen saver off from start to end, also while the
    // window is minimised or in the background; the window state decides.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // With SDL's capture a held button reports positions outside the client
    // area, negative ones left of and above it, which the 16-bit packing of
    // mouse messages turns into 65,000-pixel jumps of a drag. Uncaptured, the
    // positions stop at the edge and a release outside is not seen.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // SDL drops a click that it reads within 10 ms of reading the window's
    // focus coming in. Where the two wait in the queue together (the click
    // that closes a box and brings the focus back, a window busy drawing) the
    // user's click would be lost; a click on a window that is not active is
    // delivered as well as activating it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // SDL 2.26 crashes in its Wayland decoration library when a GL window is
    // destroyed and another created (every F1). Windows then come without a
    // title bar on compositors that do not draw one themselves. (sdl2-compat
    // passes the hint on to SDL 3, which reads it under the same name.)
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
}

bool ensure_video() {
    if (started) return true;
    set_start_up_hints();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Without a display SDL falls back to drivers that draw nowhere; the
    // program would then run unseen and unreachable. Those count as no
    // display unless the user asked for one of them by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool displayless = driver != nullptr &&
                       (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (displayless && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    // SDL starts with text input on, which sends every key through the input
    // method first: a Hangul one swallows Space and letters into its
    // composition and may pop up a candidate window. Nothing here reads text.
    // (SDL turns it on again at a focus change only while text events are
    // enabled, and this call disables them. sdl2-compat starts it as SDL 2
    // does and turns it off for all windows here alike.)
    SDL_StopTextInput();
    // SDL loads the GL library with the first GL window and unloads it with
    // the last, and its X11 driver leaves a colormap in the server at every
    // load (for the window it queries GLX extensions with): each F1, which
    // destroys the only window before it makes the next, would leave one more.
    // Loaded here, the library stays for the life of the program (the layer
    // never quits SDL's video; the process's end takes it). A driver without
    // GL fails here harmlessly, and window creation reports it.
    SDL_GL_LoadLibrary(nullptr);
    install_hangup_handler();
    started = true;
    return true;
}

bool video_started() { return started; }

const char* video_driver() { return started ? SDL_GetCurrentVideoDriver() : nullptr; }

bool video_driver_is(const char* name) {
    const char* driver = video_driver();
    return driver != nullptr && std::strcmp(driver, name) == 0;
}

bool sdl3_underneath() {
    // sdl2-compat reports a patch level of 50 or more, far above any of SDL
    // 2's own releases, so that a program can tell the two apart.
    SDL_version linked;
    SDL_GetVersion(&linked);
    return linked.major == 2 && linked.patch >= 50;
}

void keep_full_screen_on_focus_loss(bool keep) {
    // SDL minimises a full-screen window that loses the focus, which gives the
    // desktop its own mode back: right for Alt+Tab, wrong for a box, which
    // takes the focus and would leave the user a black screen and no window to
    // type into. SDL reads the hint when the focus-loss event is handled (in
    // SDL_OnWindowFocusLost, inside the event pump), and the box loop pumps
    // while the box is open, so setting it around the box is enough. Reset,
    // the hint has SDL's default again, or the user's SDL_VIDEO_MINIMIZE_ON_
    // FOCUS_LOSS; SDL 3 under sdl2-compat reads the same hint, but its default
    // is its own, so Alt+Tab there follows SDL 3.
    if (keep) {
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    } else {
        SDL_ResetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS);
    }
}
