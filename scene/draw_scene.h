// One frame of the solar system.
#pragma once

// Draws the frame into the current context (also in selection mode). Always
// returns true.
bool draw_scene();
// The same frame for the selection pass of a pick: every call as above, in the
// same order, the animation step and the names included, except that each
// sphere, disk and the ring comes from its selection list
// (scene/selection_lists.h), recorded from the very calls the frame makes.
// It thus gives the frame's selection records, while the pass submits no
// vertices of its own.
void draw_scene_for_selection();
