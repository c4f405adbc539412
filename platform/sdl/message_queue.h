// The layer's message queue as its other modules see it: the event pump that
// fills it and the box-time policy. Main thread only: SDL's event pump must
// run on the thread that initialised video.
#pragma once

#include <SDL.h>

#include "platform/window_system.h"

// Takes everything SDL has queued into the message queue. `observe`, when
// given, sees each SDL event first.
void pump_events(void (*observe)(const SDL_Event& event) = nullptr);
// From here to end_box_time the window is frozen behind a box: presses,
// moves, typing and the window manager's close request aimed at it are
// dropped, releases, size changes, redraws and quits are kept for afterwards.
// Input that the queue and SDL already hold when it begins is dropped the
// same way, so nothing clicked or typed before the box acts after it. The
// focus stays with its window meanwhile, and a full-screen window is not
// minimised when the box takes the focus.
void begin_box_time();
void end_box_time();
// Since when a quit signal (SIGINT, SIGTERM, SIGHUP) has come; it is kept
// until a window can be asked to close.
bool quit_signalled();
// Messages queued for a window that is gone go with it.
void forget_messages_for(WindowHandle window);
