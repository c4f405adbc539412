// The message queue's SDL half: SDL's events into the queue (platform/common/
// queued_messages.h), the box-time policy and the end of the session.
#include "platform/sdl/message_queue.h"

#include "platform/common/queued_messages.h"
#include "platform/sdl/event_translation.h"
#include "platform/sdl/quit_signal.h"
#include "platform/sdl/sdl_windows.h"
#include "platform/sdl/video.h"
#include "platform/sdl/window_state.h"

// ---------------------------------------------------------------------------
// Quit state. Written by the pump and by the queue's drops (a close request
// taken off it); read by the pump and quit_signalled.
static bool quit_seen = false;         // SDL's quit event has come
static bool quit_undelivered = false;  // ... and no window has been asked to close yet

// A close request taken off the queue, once a quit signal has come, may have
// been the quit's own: the quit is then delivered again, so that it is never
// lost.
static void deliver_quit_again_if(bool close_dropped) {
    if (close_dropped && quit_seen) quit_undelivered = true;
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
    if (message.message != WM_NULL) post_message(message);
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
    if (quit_undelivered && !box_open() && first_window() != nullptr) {
        queue_message({first_window(), WM_CLOSE, 0, 0});
        quit_undelivered = false;
    }
}

void begin_box_time() {
    set_box_open(true);
    hold_focus(true);
    keep_full_screen_on_focus_loss(true);
    deliver_quit_again_if(drop_frozen_input());
    pump_events();
}

void end_box_time() {
    keep_full_screen_on_focus_loss(false);
    hold_focus(false);
    set_box_open(false);
}

bool quit_signalled() { return quit_seen; }

void forget_messages_for(WindowHandle window) { deliver_quit_again_if(drop_messages_for(window)); }

bool peek_message(Message* message) {
    if (queue_empty()) pump_events();
    return take_message(message);
}
