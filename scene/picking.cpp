// Picking: which body lies under a click, found by drawing the scene once in
// selection mode, and the information box of that body.
#include "scene/picking.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/window_system.h"
#include "render/render_state.h"
#include "scene/body_info.h"
#include "scene/draw_scene.h"
#include "scene/scene_state.h"

// Words of the selection buffer. The scene keeps at most one name on the
// stack, so a record takes 3 words (no name) or 4 (one body).
static constexpr GLsizei selection_buffer_words = 64;
// Side of the square pick region around the click, in pixels.
static constexpr double pick_region_pixels = 2.0;

void pick_at(int x, int y) {
    GLuint buffer[selection_buffer_words] = {};
    GLint viewport[4];
    glSelectBuffer(selection_buffer_words, buffer);
    glGetIntegerv(GL_VIEWPORT, viewport);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glRenderMode(GL_SELECT);
    glLoadIdentity();
    // Window y grows upward: the region's centre is the viewport height minus
    // the click's y, with no further correction.
    gluPickMatrix(static_cast<double>(x), static_cast<double>(viewport[3] - y), pick_region_pixels,
                  pick_region_pixels, viewport);
    // The view's perspective, but from the stored single-precision aspect
    // ratio (resize_view itself uses the double quotient) and the
    // single-precision near plane, both widened to double.
    gluPerspective(field_of_view, static_cast<double>(aspect_ratio),
                   static_cast<double>(near_plane), far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The scene advances the animation first, as a drawn frame does, so
    // while animating the pick sees the bodies one step ahead of the screen.
    // Its shapes come from display lists: drawn in selection mode, vertices
    // submitted anew are kept by some drivers (scene/selection_lists.cpp).
    draw_scene_for_selection();

    // Negative when the records overflowed the buffer: nothing is shown then.
    const GLint hits = glRenderMode(GL_RENDER);
    // The box is modal: the pick goes on only once the user has closed it.
    if (hits > 0) show_body_info(buffer);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The first record belongs to the first thing in drawing order under the
// pointer; its depth is never consulted. Word 0 counts its names, words 1 and
// 2 are depths, word 3 is its first name.
void show_body_info(const GLuint* buffer) {
    if (buffer[0] == 0) return;  // a disk or Saturn's ring came first
    const BodyInfo* info = find_body_info(buffer[3]);
    if (info == nullptr) return;
    message_box(window_handle, info->text, info->caption, MB_OK);
}
