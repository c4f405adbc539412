// An offscreen 800 x 600 context with a 24-bit depth buffer: Mesa's own OpenGL 1.1
// (oracle_mesa.cpp) or the subset over Mesa's OpenGL ES 2 (oracle_es.cpp).
#pragma once

#include <string>
#include <vector>

bool open_context();  // makes a new context current; false when there is none to be had
void close_context();
std::vector<unsigned char> read_frame();  // the frame drawn so far, RGB, the bottom row first
std::string context_version();            // the context's version string (its Mesa's release)
long uploads();  // buffer and texture uploads so far (counted for the subset only; 0 on Mesa)
