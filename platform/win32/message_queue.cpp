// The message queue over the thread's own: the peek that never waits, the
// held key releases, the frozen-window policy while a box is open, and the
// console's close request.
#include <deque>

#include "platform/common/frozen_input.h"
#include "platform/common/held_releases.h"
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Queue state. Written and read by peek_message; pending is also written by
// drop_queued_input, which keeps there the releases it takes off the thread's
// queue as a box opens.
static std::deque<Message> pending;   // taken off the thread's queue, not yet handed out
static HeldReleases held_releases;    // key releases waiting for an idle pass
static bool close_delivered = false;  // the console's close request has gone out

static Message from_msg(const MSG& msg) {
    return Message{from_hwnd(msg.hwnd), msg.message, msg.wParam, msg.lParam};
}

static MSG to_msg(const Message& message) {
    MSG msg{};
    msg.hwnd = to_hwnd(message.window);
    msg.message = message.message;
    msg.wParam = message.w_param;
    msg.lParam = message.l_param;
    msg.time = static_cast<DWORD>(GetMessageTime());
    return msg;
}

// Windows disables the owner of a box, so that input given to it while the
// box is open never reaches it. Input already queued when the box opens (a
// second click that came with the first, a key pressed while the frame was
// drawn) would still be handed to the window afterwards; it is taken off
// here. Releases stay, so that no key or button is left held.
void drop_queued_input() {
    MSG msg;
    for (UINT first : {UINT{WM_KEYFIRST}, UINT{WM_MOUSEFIRST}}) {
        const UINT last = first == WM_KEYFIRST ? WM_KEYLAST : WM_MOUSELAST;
        while (PeekMessageA(&msg, nullptr, first, last, PM_REMOVE | PM_NOYIELD)) {
            if (!dropped_while_box_open(msg.message)) pending.push_back(from_msg(msg));
        }
    }
    std::deque<Message> kept;
    for (const Message& message : pending) {
        if (!dropped_while_box_open(message.message)) kept.push_back(message);
    }
    pending.swap(kept);
}

// Takes one message off the thread's queue into `pending`. A release held
// for the next idle pass is kept back, and the next message taken instead.
static void take_from_thread_queue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const Message message = from_msg(msg);
        if (msg.message != WM_QUIT && held_releases.hold(message)) continue;
        pending.push_back(message);
        return;
    }
}

bool peek_message(Message* message) {
    start_console();
    // The console asked the program to end: the newest window is asked to
    // close, once, as its close button would. Not while a box is open (the
    // console handler closes that first) nor between the windows of an F1.
    if (close_requested() && !close_delivered && !box_open() && newest_window() != nullptr) {
        close_delivered = true;
        pending.push_back(Message{from_hwnd(newest_window()), WM_CLOSE, 0, 0});
    }
    if (pending.empty()) take_from_thread_queue();
    return held_releases.take_next(&pending, message);
}

void translate_message(const Message* message) {
    const MSG msg = to_msg(*message);
    TranslateMessage(&msg);
}

LResult dispatch_message(const Message* message) {
    const MSG msg = to_msg(*message);
    return DispatchMessageA(&msg);
}

void post_quit_message(int exit_code) { PostQuitMessage(exit_code); }

LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam w_param,
                        LParam l_param) {
    return DefWindowProcA(to_hwnd(window), message, w_param, l_param);
}
