#include "platform/sdl/quit_signal.h"

#include <SDL.h>
#include <signal.h>

// ---------------------------------------------------------------------------
// Written by the signal handler, read and cleared by forward_hangup on the
// main thread. A signal handler may do nothing but set such a flag.
static volatile sig_atomic_t hangup_pending = 0;

static void on_hangup(int) { hangup_pending = 1; }

void install_hangup_handler() {
    struct sigaction action {};
    if (sigaction(SIGHUP, nullptr, &action) != 0 || action.sa_handler != SIG_DFL) return;
    action.sa_handler = on_hangup;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait for a box returns at once
    sigaction(SIGHUP, &action, nullptr);
}

void forward_hangup() {
    if (hangup_pending == 0) return;
    hangup_pending = 0;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}
