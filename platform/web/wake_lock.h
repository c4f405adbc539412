// The screen's wake lock: the browser's counterpart of the desktop's refused
// screen saver (disable_screen_saver, in the layer). The screen is kept on
// only while the program runs and animates, no box is open and the page is
// shown; the browser itself lets go of the lock whenever the page is hidden.
#pragma once

#include "platform/window_system.h"

// Follows the program's pause: its window procedure turns the animation on
// and off at each Space key-down it is handed, and every message the queue
// hands out (but the quit) reaches that procedure. Called with each one.
void follow_pause_key(const Message& message);
// A box is open from `true` to `false`: the user reads, nothing moves.
void hold_wake_lock_for_box(bool box_open);
