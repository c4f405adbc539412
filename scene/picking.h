// Picking a body under the pointer and showing its facts.
#pragma once

#include <GL/gl.h>

// Picks at a client-area position (origin top left, y downward).
void pick_at(int x, int y);
// Shows the box of the body named by the first hit record, if any.
void show_body_info(const GLuint* buffer);
