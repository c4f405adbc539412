// GL contexts, the pixel format and the buffer swap with its pacing, as the
// other modules of the layer see them. Main thread only: a GL context is
// current on one thread, and SDL's GL calls belong to the video thread.
#pragma once

// Sets SDL's GL attributes for the pixel format of the last set_pixel_format
// call (the system's usual one before any), ahead of a window's creation:
// SDL chooses a window's visual when it creates the window.
void apply_window_pixel_format();
// The window may refresh at another rate now (another display or mode): the
// pacing reads the period again before the next swap.
void reread_refresh_period();
