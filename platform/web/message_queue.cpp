// The message queue's browser half: keys the browser acted on, the box-time
// policy, and the peek. The page's events come into the queue (platform/
// common/queued_messages.h) through post_message.
#include "platform/web/message_queue.h"

#include "platform/web/wake_lock.h"
#include "platform/web/web_windows.h"

void post_key_press(WParam key) {
    WindowHandle window = current_window();
    if (window == nullptr) return;
    enqueue_message({window, WM_KEYDOWN, key, 1});
    enqueue_message({window, WM_KEYUP, key, 1});
}

void begin_box_time() {
    set_box_open(true);
    drop_frozen_input();
}

void end_box_time() { set_box_open(false); }

void forget_messages_for(WindowHandle window) { drop_messages_for(window); }

// The page's events come in while the program waits (for the next frame or
// a box), never during a peek: there is nothing to pump.
bool peek_message(Message* message) {
    if (!take_message(message)) return false;
    follow_pause_key(*message);
    return true;
}
