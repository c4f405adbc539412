// The layer's message queue as the browser backend's other modules see it:
// the queue itself (platform/common/queued_messages.h: post_message, and
// box_open while a box is open) and the browser's half. The page's events
// reach it from the browser's event handlers, which run while the program
// waits for a frame or a box.
#pragma once

#include "platform/common/queued_messages.h"
#include "platform/window_system.h"

// Queues a press and release of `key` for the current window, box or not: a
// key the browser has already acted on, which the program must follow.
void post_key_press(WParam key);
// From here to end_box_time the canvas is frozen behind a box: input the
// queue already holds is dropped as if it came during the box.
void begin_box_time();
void end_box_time();
// Messages queued for a window that is gone go with it.
void forget_messages_for(WindowHandle window);
