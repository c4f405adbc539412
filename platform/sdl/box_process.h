// Message boxes shown by a program of their own (orrery-box, installed beside
// the main program), so that every SDL call of this process stays on its main
// thread while the main thread goes on serving the window system. Plain POSIX:
// nothing here calls SDL.
#pragma once

#include <cstdint>

struct BoxRequest {
    const char* caption;           // UTF-8
    const char* text;              // UTF-8
    unsigned flags;                // MB_OK or MB_YESNO, with one MB_ICON* value
    std::uint64_t owner_window;    // the owner's X11 window id; 0 for none (or not X11)
    const char* video_driver;      // SDL's current video driver ("x11", "wayland"), or null
};

// Starts the box program (found beside the running program) in a process
// group of its own, with a clean signal mask and default signal actions; it
// ends when this process ends. Call it from the main thread: the box ends with
// the thread that started it. Returns its process id, or -1 when it could not
// be started.
int start_box_process(const BoxRequest& request);

// Waits up to `milliseconds` (0: does not wait) for the box to be closed; a
// signal that arrives meanwhile ends the wait early. Returns true once it has
// ended, its process then collected; *answer is then IDOK, IDYES or IDNO, or
// -1 when the program could show no box.
bool wait_box_process(int pid, int milliseconds, int* answer);

// Closes a box that is still open, with everything its program started, and
// collects its process. Not for a box that wait_box_process saw end.
void close_box_process(int pid);
