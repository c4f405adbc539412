// Full screen through the browser's Fullscreen API, and the canvas's size.
#pragma once

// Sizes the canvas for a new window of width x height: the screen's size
// instead while the page is full screen. When that differs from what the
// program asked for, the new window gets a WM_SIZE with the real size.
void fit_canvas(int width, int height);
// Follows the screen element's size and the browser's own exits from full
// screen (its Escape): registered once, with the first window.
void follow_screen_changes();
