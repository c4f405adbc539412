// Full screen through the browser's Fullscreen API, and the canvas's size.
#pragma once

// Sizes the canvas for a new window of width x height: the page lays it out
// at that size or smaller, keeping its shape (the largest such in full
// screen), and its drawing buffer has the device's pixels under it. When that
// differs from what the program asked for, the new window gets a WM_SIZE with
// the buffer's size.
void fit_canvas(int width, int height);
// Follows the canvas's box, the device's pixel ratio and the browser's own
// exits from full screen (its Escape): registered once, with the first window.
void follow_screen_changes();
