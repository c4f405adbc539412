// An offscreen 800 x 600 context with a 24-bit depth buffer: Mesa's own OpenGL 1.1
// (oracle_mesa.cpp) or the subset over Mesa's OpenGL ES 2 (oracle_es.cpp).
#pragma once

#include <string>
#include <vector>

// Makes a new context current; false when there is none to be had.
bool open_context();
void close_context();
// The frame drawn so far, RGB, the bottom row first.
std::vector<unsigned char> read_frame();
// The context's version string (its Mesa's release).
std::string context_version();
// Buffer and texture uploads made so far (counted for the subset only; 0 on Mesa).
long uploads();
