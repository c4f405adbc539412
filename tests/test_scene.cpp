// One frame of the scene on an offscreen Mesa context with the real render state and pictures.
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/draw_scene.h"
#include "support/offscreen_gl.h"

static GLint get_integer(GLenum which) {
    GLint value[2] = {-1, -1};  // room for the polygon mode's front and back
    glGetIntegerv(which, value);
    return value[0];
}

// All switch combinations at view scales 1, 0, -1: polygon mode, enables, modelview balance;
// selection names in drawing order (the ring nameless) with the name stack emptied.
TEST(Scene, SwitchCombinationsSelectionNamesAndOddScales) {
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(gl.width(), gl.height());
    ASSERT_TRUE(init_render_state());
    for (int c = 0; c < 16; ++c) {
        SCOPED_TRACE(c);
        solid_fill = c & 1, texturing_on = (c >> 1) & 1, lighting_on = (c >> 2) & 1;
        sphere_mode = (c >> 3) + 1, view_scale = 1.0f - c % 3;  // 1, 0 or -1
        glPushMatrix();
        glTranslatef(1.0f, 2.0f, 3.0f);
        const GLint depth = get_integer(GL_MODELVIEW_STACK_DEPTH);
        ASSERT_TRUE(draw_scene());
        EXPECT_EQ(get_integer(GL_MODELVIEW_STACK_DEPTH), depth);
        GLfloat top[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, top);
        for (int k = 0; k < 16; ++k) EXPECT_EQ(top[k], k % 5 == 0 ? 1.0f : 0.0f);
        glPopMatrix();
        EXPECT_EQ(get_integer(GL_POLYGON_MODE), solid_fill ? GL_FILL : GL_LINE);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing_on);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lighting_on);

        GLuint buffer[256];
        glSelectBuffer(256, buffer);
        glRenderMode(GL_SELECT);
        view_scale = 0.5f;  // the whole scene in view
        ASSERT_TRUE(draw_scene());
        EXPECT_EQ(get_integer(GL_NAME_STACK_DEPTH), 0);
        std::vector<GLuint> names;
        for (GLint k = 0, at = 0, hits = glRenderMode(GL_RENDER); k < hits;
             ++k, at += 3 + buffer[at])
            names.push_back(buffer[at] == 0 ? 0 : buffer[at + 3]);
        EXPECT_EQ(names,
                  (std::vector<GLuint>{101, 102, 103, 104, 105, 106, 107, 0, 108, 109, 110}));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    gluDeleteQuadric(std::exchange(quadric, nullptr));
}
