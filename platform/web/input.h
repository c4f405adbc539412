// The page's keys, mouse and wheel as the layer's messages.
#pragma once

#include "platform/window_system.h"

// Registers the page's key, mouse, wheel and touch handlers; once, with the
// first window.
void listen_to_input();
// The canvas's drawing-buffer pixel under a point of the page (CSS pixels of
// the viewport), held inside the canvas, as a mouse message's position.
LParam canvas_position(double client_x, double client_y);
