// The canvas's WebGL context lost (the graphics driver was reset, or the
// browser gave the context to other pages) and given back: the program's
// loop waits meanwhile, and goes on from where it was, its picture drawn
// again on the new context.
#pragma once

#include <emscripten/html5.h>

// Follows the context's loss and return; registered once, with the first
// rendering context.
void follow_context_loss();
// Returns at once while the context lives; while it is lost, once it has been
// given back and the subset has made its objects on it again.
void wait_while_context_lost(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl);
