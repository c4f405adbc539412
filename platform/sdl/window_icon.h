// The program's icon on its windows (the 48 px picture that the desktop entry uses too).
#pragma once

struct SDL_Window;

// Gives the window the program's icon; where the video driver shows no window icons, nothing.
void apply_window_icon(SDL_Window* window);
