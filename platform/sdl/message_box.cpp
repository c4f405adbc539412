// Modal message boxes, each shown by a process of its own (platform/
// box_process.h) while this main thread goes on serving the window system.
// SDL's rule is that a box is shown from the thread that created its parent
// window, and that video and events stay on the main thread; with the box in
// another process no SDL call of this program leaves the main thread.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>

#include "platform/sdl/box_process.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/video.h"
#include "platform/sdl/sdl_windows.h"

// How long the main thread waits on the box process at a time before it
// serves the window system's events again. Short enough for the window
// manager's pings and exposes, long enough not to spin.
static constexpr int box_wait_milliseconds = 20;

// The owner's X11 window, so that the box is transient for it: stays above
// it and opens on its display. 0 elsewhere (Wayland has no such id; the
// compositor places the box). sdl2-compat answers SDL_GetWindowWMInfo from
// SDL 3's window properties, with the same X11 window id.
static std::uint64_t x11_window_of(WindowHandle owner) {
    if (owner == nullptr || !video_driver_is("x11")) return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(owner->sdl_window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    return static_cast<std::uint64_t>(info.info.x11.window);
}

// X11 keeps no copy of a window's picture: a box moved across the window
// wipes it. The last frame is still in the back buffer; present it again.
// (Wayland compositors keep the picture.)
static void present_again_on_expose(const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT || event.window.event != SDL_WINDOWEVENT_EXPOSED) return;
    WindowHandle window = find_window(event.window.windowID);
    if (window != nullptr && video_driver_is("x11") &&
        SDL_GL_GetCurrentWindow() == window->sdl_window) {
        SDL_GL_SwapWindow(window->sdl_window);
    }
}

// Serves the window system until the box process ends. Serving the events at
// all is what keeps the window manager from calling the program "Not
// Responding": its pings are answered inside SDL's event pump. A quit signal
// closes the box (a Ctrl+C in the terminal may already have ended it); the
// quit itself is kept for the loop. Returns the answer, `closed_answer` when
// the box was closed that way, or -1 when none was shown.
static int wait_for_box(int pid, int closed_answer) {
    int answer = -1;
    for (bool ended = false; !ended;) {
        ended = wait_box_process(pid, box_wait_milliseconds, &answer);
        pump_events(present_again_on_expose);
        if (quit_signalled()) {
            if (!ended) close_box_process(pid);
            return closed_answer;
        }
    }
    return answer;
}

static int show_box(WindowHandle owner, const char* text, const char* caption, unsigned flags,
                    int closed_answer) {
    begin_box_time();  // also takes SDL's backlog, which may hold a quit
    int answer = -1;
    // Once the program has been told to end, no box holds it up any longer.
    if (!quit_signalled()) {
        BoxRequest request{caption, text, flags, x11_window_of(owner), video_driver()};
        int pid = start_box_process(request);
        if (pid > 0) answer = wait_for_box(pid, closed_answer);
    }
    end_box_time();
    return answer;
}

int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    // The default answer: what Escape, or closing the box, would give.
    const int default_answer = (flags & 0x0F) == MB_YESNO ? IDNO : IDOK;
    // Without a display no box can be shown.
    int answer = ensure_video() ? show_box(owner, text, caption, flags, default_answer) : -1;
    if (answer == IDOK || answer == IDYES || answer == IDNO) return answer;
    // No box was shown: say it on standard error instead.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return default_answer;
}
