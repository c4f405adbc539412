// What a window-system backend calls to give the program the OpenGL 1.1 subset
// on an OpenGL ES 2 (WebGL 1) context of its own making. Each subset context
// holds the program's fixed-function state, texture objects and display lists;
// it draws through whichever ES 2 context is current when it is made current.
#pragma once

struct Gl11Context;

// A new subset context on the ES 2 context current now; null when the ES 2
// context cannot take it (its shaders do not build).
Gl11Context* gl11_create_context();
// Null makes no subset context current.
void gl11_make_current(Gl11Context* context);
// Frees what the context holds in ES 2 and in memory; current or not.
void gl11_delete_context(Gl11Context* context);
// Hands every draw still gathered in the current context to ES 2: before the
// frame is shown or its pixels are read.
void gl11_flush();
// The ES 2 context was lost (a browser's WebGL context, after a graphics
// reset): every subset context forgets the ES 2 objects it had, which are
// gone. Called while it is lost, when freeing them is no error.
void gl11_context_lost();
// The ES 2 context was given back, empty: every subset context makes its
// shaders and texture objects again, from what it kept, and sets the
// viewport again; its lists and GLU's shapes fill new buffers at their next
// draw. False when the shaders do not build.
bool gl11_context_restored();
