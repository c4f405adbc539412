// One frame of the solar system.
#pragma once

// Draws the frame into the current context (also in selection mode). Always
// returns true.
bool draw_scene();
