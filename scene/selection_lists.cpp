// Display lists for the selection pass of a pick.
//
// Mesa 22.3 keeps every vertex buffer that a draw in selection mode uses: the
// draw takes a reference it never drops. Immediate-mode vertices fill buffers
// that are then never freed, so a pick drawn like a frame kept about 1 MB (and
// 7 MB with the quadric spheres) for good. A display list holds its vertices
// in one buffer of its own, which any number of passes reuse: picks from lists
// keep nothing. That buffer stays behind when its context is destroyed (about
// 1 MB, 6 MB once the quadric spheres have been picked), so the lists are made
// only for the shapes a pick has drawn, in the context it drew them in.
#include "scene/selection_lists.h"

#include <GL/gl.h>

// ---------------------------------------------------------------------------
// The list of each shape in the current rendering context, 0 while it has
// none. Written by call_selection_list (a list made) and
// forget_selection_lists (the close of the main window); read by
// call_selection_list.
static GLuint lists[selection_shape::count] = {};

void call_selection_list(int shape, const std::function<void()>& draw) {
    if (shape < 0 || shape >= selection_shape::count) return;
    GLuint& list = lists[shape];
    if (list == 0) {
        list = glGenLists(1);
        // No list name to be had: the shape is drawn at once, as a frame draws it.
        if (list == 0) return draw();
        glNewList(list, GL_COMPILE);
        draw();
        glEndList();
    }
    glCallList(list);
}

void forget_selection_lists() {
    for (GLuint& list : lists) list = 0;
}
