// The message queue of the backends that keep one themselves, and the
// layer's translate, dispatch and quit over it.
#include "platform/common/queued_messages.h"

#include <deque>

#include "platform/common/frozen_input.h"
#include "platform/common/held_releases.h"
#include "platform/common/window_list.h"

// ---------------------------------------------------------------------------
// Queue state. Written by the post functions (the backend's events), the
// layer's own messages and the box-time switch; read by take_message.
static std::deque<Message> queue;   // posted and translated messages
static HeldReleases held_releases;  // key releases waiting for an idle pass
static bool box_time = false;       // a box is open

void post_message(const Message& message) {
    if (box_time && dropped_while_box_open(message.message)) return;
    enqueue_message(message);
}

void enqueue_message(const Message& message) {
    if (!held_releases.hold(message)) queue.push_back(message);
}

void queue_message(const Message& message) { queue.push_back(message); }

void set_box_open(bool open) { box_time = open; }

bool box_open() { return box_time; }

// Takes the messages that `drop` names off the queue; true when a close
// request was among them.
template <typename Drop>
static bool drop_messages(Drop drop) {
    bool close_dropped = false;
    for (auto message = queue.begin(); message != queue.end();) {
        if (!drop(*message)) {
            ++message;
            continue;
        }
        close_dropped = close_dropped || message->message == WM_CLOSE;
        message = queue.erase(message);
    }
    return close_dropped;
}

bool drop_frozen_input() {
    return drop_messages(
        [](const Message& message) { return dropped_while_box_open(message.message); });
}

bool drop_messages_for(WindowHandle window) {
    const bool close_dropped =
        drop_messages([window](const Message& message) { return message.window == window; });
    held_releases.forget(window);
    return close_dropped;
}

bool queue_empty() { return queue.empty(); }

bool take_message(Message* message) { return held_releases.take_next(&queue, message); }

// ---------------------------------------------------------------------------
// The layer's calls.

void translate_message(const Message* message) {
    if (message->message != WM_KEYDOWN) return;
    WParam key = message->w_param;
    bool character = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == VK_SPACE ||
                     key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE;
    if (!character) return;
    WParam code = (key >= 'A' && key <= 'Z') ? key + ('a' - 'A') : key;
    queue.push_back({message->window, WM_CHAR, code, message->l_param});
}

LResult dispatch_message(const Message* message) {
    WindowProc proc = window_proc(message->window);
    if (proc == nullptr) return 0;
    return proc(message->window, message->message, message->w_param, message->l_param);
}

void post_quit_message(int exit_code) {
    queue.push_back({nullptr, WM_QUIT, static_cast<WParam>(exit_code), 0});
}
