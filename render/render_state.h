// Render state and projection of one rendering context.
#pragma once

#include <GL/glu.h>

// Perspective constants shared by the view and the pick. The near plane is the
// single-precision 0.1 widened to double (0.10000000149011612), not the double
// nearest 0.1.
constexpr double field_of_view = 45.0;
constexpr float near_plane = 0.1f;
constexpr double far_plane = 100.0;

// Written by resize_view (width / height rounded to float); read by the pick.
extern float aspect_ratio;
// Written by init_render_state, deleted and cleared by close_main_window; the
// scene draws its quadric spheres and disks with it.
extern GLUquadric* quadric;

// Fits viewport and projection to the client size; leaves the modelview matrix
// selected and set to the identity.
void resize_view(int width, int height);
// Sets the fixed render state for the current context. Returns false only when
// the quadric cannot be created.
bool init_render_state();
