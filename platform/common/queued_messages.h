// The message queue of the backends that keep one themselves (SDL's and the
// browser's; the Win32 backend's queue is Windows's own): the messages
// posted and translated, the key releases held for the next idle pass
// (held_releases.h), and what a window frozen behind a box drops
// (frozen_input.h). Each backend fills it from its own events and says when
// a box opens and closes. Main thread only.
#pragma once

#include "platform/window_system.h"

// Queues a message from the platform's events. While a box is open the
// presses, moves, typing and close requests are dropped; a key release may
// wait for the next idle pass.
void post_message(const Message& message);
// Queues it as post_message does, but box or not: input the platform has
// already acted on, which the program must follow.
void enqueue_message(const Message& message);
// Queues it at the back as it is, never held or dropped: the layer's own
// messages (a translation, a close request, the quit).
void queue_message(const Message& message);

// A box is open from set_box_open(true) to set_box_open(false).
void set_box_open(bool open);
bool box_open();
// Takes the queued input that a frozen window drops off the queue, as a box
// opens. True when a close request was among it.
bool drop_frozen_input();
// Takes the messages queued for a window that is gone off the queue, with
// its held releases. True when a close request was among them.
bool drop_messages_for(WindowHandle window);

bool queue_empty();
// Hands out the oldest message, or the held releases once the queue has run
// empty (HeldReleases::take_next). False when there is none.
bool take_message(Message* message);
