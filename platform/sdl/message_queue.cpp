// The message queue: posted and translated messages, the held key releases,
// the box-time policy and the end of the session.
#include "platform/sdl/message_queue.h"

#include <deque>

#include "platform/common/frozen_input.h"
#include "platform/common/held_releases.h"
#include "platform/sdl/event_translation.h"
#include "platform/sdl/quit_signal.h"
#include "platform/sdl/video.h"
#include "platform/sdl/window_state.h"
#include "platform/sdl/sdl_windows.h"

// ---------------------------------------------------------------------------
// Queue state. Written by the pump, the post functions and the box-time
// switches; read by peek_message.
static std::deque<Message> queue;            // posted and translated messages
static HeldReleases held_releases;           // key releases waiting for an idle pass
static bool box_time = false;                // a box is open
static bool quit_seen = false;               // SDL's quit event has come
static bool quit_undelivered = false;        // ... and no window has been asked to close yet

static bool dropped_during_box(const Message& message) {
    return dropped_while_box_open(message.message);
}

static void enqueue(const Message& message) {
    if (box_time && dropped_during_box(message)) return;
    if (!held_releases.hold(message)) queue.push_back(message);
}

static void take_event(const SDL_Event& event) {
    if (event.type == SDL_QUIT) {
        // An interrupt, terminate or hang-up signal: the main window is asked
        // to close, so that the program ends the usual way.
        quit_seen = quit_undelivered = true;
        return;
    }
    WindowHandle window = find_window(event_window_id(event));
    apply_window_state(event, window);
    EventTarget target{window, focus_window(), 0, 0, SDL_GetMouseState(nullptr, nullptr)};
    if (window != nullptr) SDL_GetWindowSize(window->sdl_window, &target.width, &target.height);
    Message message = translate_event(event, target);
    if (message.message != WM_NULL) enqueue(message);
}

void pump_events(void (*observe)(const SDL_Event& event)) {
    if (!video_started()) return;
    forward_hangup();
    // SDL ends each poll cycle with a marker; an event that arrives behind it
    // is only seen by the next cycle. The pump therefore takes everything SDL
    // has in one go, so that an empty queue really means no input is waiting.
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (observe != nullptr) observe(event);
        take_event(event);
    }
    if (quit_undelivered && !box_time && first_window() != nullptr) {
        queue.push_back({first_window(), WM_CLOSE, 0, 0});
        quit_undelivered = false;
    }
}

// Takes the messages that `drop` names off a queue. A close request among
// them, once a quit signal has come, may have been the quit's own: the quit
// is then delivered again, so that it is never lost.
template <typename Drop>
static void drop_messages(std::deque<Message>* pending, Drop drop) {
    for (auto message = pending->begin(); message != pending->end();) {
        if (!drop(*message)) {
            ++message;
            continue;
        }
        if (message->message == WM_CLOSE && quit_seen) quit_undelivered = true;
        message = pending->erase(message);
    }
}

void begin_box_time() {
    box_time = true;
    hold_focus(true);
    keep_full_screen_on_focus_loss(true);
    drop_messages(&queue, dropped_during_box);
    pump_events();
}

void end_box_time() {
    keep_full_screen_on_focus_loss(false);
    hold_focus(false);
    box_time = false;
}

bool quit_signalled() { return quit_seen; }

void forget_messages_for(WindowHandle window) {
    drop_messages(&queue, [window](const Message& message) { return message.window == window; });
    held_releases.forget(window);
}

bool peek_message(Message* message) {
    if (queue.empty()) pump_events();
    return held_releases.take_next(&queue, message);
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
