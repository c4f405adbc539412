// The message queue: the page's events as messages, the held key releases
// and the box-time policy.
#include "platform/web/message_queue.h"

#include <deque>

#include "platform/common/frozen_input.h"
#include "platform/common/held_releases.h"
#include "platform/web/wake_lock.h"
#include "platform/web/web_windows.h"

// ---------------------------------------------------------------------------
// Queue state. Written by the page's event handlers (through post_message
// and post_key_press), the post functions and the box-time switches; read by
// peek_message.
static std::deque<Message> queue;   // posted and translated messages
static HeldReleases held_releases;  // key releases waiting for an idle pass
static bool box_time = false;       // a box is open

static bool dropped_during_box(const Message& message) {
    return dropped_while_box_open(message.message);
}

static void enqueue(const Message& message) {
    if (!held_releases.hold(message)) queue.push_back(message);
}

void post_message(const Message& message) {
    if (box_time && dropped_during_box(message)) return;
    enqueue(message);
}

void post_key_press(WParam key) {
    WindowHandle window = current_window();
    if (window == nullptr) return;
    enqueue({window, WM_KEYDOWN, key, 1});
    enqueue({window, WM_KEYUP, key, 1});
}

void begin_box_time() {
    box_time = true;
    for (auto message = queue.begin(); message != queue.end();) {
        message = dropped_during_box(*message) ? queue.erase(message) : message + 1;
    }
}

void end_box_time() { box_time = false; }

bool box_open() { return box_time; }

void forget_messages_for(WindowHandle window) {
    for (auto message = queue.begin(); message != queue.end();) {
        message = message->window == window ? queue.erase(message) : message + 1;
    }
    held_releases.forget(window);
}

// The page's events come in while the program waits (for the next frame or
// a box), never during a peek: there is nothing to pump.
bool peek_message(Message* message) {
    if (!held_releases.take_next(&queue, message)) return false;
    follow_pause_key(*message);
    return true;
}

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
    PlatformWindow* window = message->window;
    if (window == nullptr || window->proc == nullptr) return 0;
    return window->proc(window, message->message, message->w_param, message->l_param);
}

void post_quit_message(int exit_code) {
    queue.push_back({nullptr, WM_QUIT, static_cast<WParam>(exit_code), 0});
}
