// Touch on the canvas as the mouse and keys the program knows: a one-finger
// drag turns the view as the right-drag does, a tap picks as a left click
// does, and a two-finger pinch zooms in keypad steps.
#pragma once

// Registers the canvas's touch handlers; once, with the other input handlers.
void listen_to_touch();
