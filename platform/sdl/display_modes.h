// Display modes as the windows see them: the granted full-screen mode and the
// display that new windows open on. Main thread only (SDL's video thread).
#pragma once

#include <SDL.h>

// The full-screen mode that change_display_mode granted, or null.
const SDL_DisplayMode* full_screen_mode();
// The display that held the last window; new windows and modes go there.
int display_for_windows();
void note_window_display(int display);
