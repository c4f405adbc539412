// The message loop: one pass per message or idle frame, and the function-key
// commands (F1 full screen, F2 lighting, F3 texturing, F4 outlines, F5 sphere
// mode) that the idle pass carries out.
#pragma once

#include <cstdint>

#include "scene/scene_state.h"

// The full-screen switch, a byte holding 0 or 1. Written by the idle pass (F1)
// and by open_main_window; read by the main window. The other switches (F2 to
// F5) live with the scene state.
extern std::uint8_t fullscreen;

extern const char* const window_title;  // "OpenGL Team Project"

// What an idle pass asks of the loop.
enum class IdleResult {
    keep_running,  // go on with the next pass
    end_loop,      // leave the loop, close the window, return the exit status
    return_now,    // the re-opening after F1 failed: return 0 without a close
};

// One idle pass: draw (while animating), Escape or swap, then F1 to F5.
IdleResult idle_pass();

// The whole program: open the window, run the loop, close the window.
// Returns the exit status.
int run_main_loop();
