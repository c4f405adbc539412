// SDL's video subsystem: starting it with the layer's hints, and the hint
// that only holds while a message box is open. Main thread only: SDL's video
// functions must be called from the thread that initialised video.
#pragma once

// Starts video once. False where there is no display to show windows on.
bool ensure_video();
bool video_started();
// The name of SDL's current video driver ("x11", "wayland"), or null.
const char* video_driver();
bool video_driver_is(const char* name);
// Whether SDL 2's calls are served by SDL 3 through its compatibility layer.
bool sdl3_underneath();
// While a box is open, a full-screen window that loses the focus to it is not
// minimised; afterwards SDL's default holds again.
void keep_full_screen_on_focus_loss(bool keep);
