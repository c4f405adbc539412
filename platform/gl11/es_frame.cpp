// The frame's viewport and its clearing on OpenGL ES 2.
#include <GLES2/gl2.h>

#include "platform/gl11/es_renderer.h"

void es_viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

std::array<int, 4> es_current_viewport() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return {viewport[0], viewport[1], viewport[2], viewport[3]};
}

void es_clear(EsRenderer& r, std::uint32_t mask, const std::array<float, 4>& colour, double depth) {
    es_flush(r);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepthf(static_cast<float>(depth));
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}
