// One frame of the scene on an offscreen Mesa context with the real render
// state and planet pictures: display switches, matrix and name balance,
// selection names in drawing order, odd view scales.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

namespace {
class Scene : public testing::Test {
   protected:
    OffscreenGl gl;
    MessageBoxRecorder boxes;

    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
        resize_view(gl.width(), gl.height());
        ASSERT_TRUE(init_render_state());
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        gluDeleteQuadric(quadric);
        quadric = nullptr;
        lighting_on = texturing_on = solid_fill = animating = 1;
        sphere_mode = 1;
        view_scale = 1.0f;
    }

    // Draws one frame in selection mode and returns the hit records' names in
    // order, 0 standing for a record without a name.
    std::vector<GLuint> names_hit() {
        GLuint buffer[256];
        glSelectBuffer(256, buffer);
        glRenderMode(GL_SELECT);
        EXPECT_TRUE(draw_scene());
        GLint depth = -1;
        glGetIntegerv(GL_NAME_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 0);
        const GLint hits = glRenderMode(GL_RENDER);
        std::vector<GLuint> names;
        for (GLint k = 0, at = 0; k < hits; ++k, at += 3 + buffer[at]) {
            names.push_back(buffer[at] == 0 ? 0 : buffer[at + 3]);
        }
        return names;
    }
};

// Every switch combination in both sphere modes: the frame succeeds, leaves
// the polygon mode and enables as the switches say, the caller's stack depth
// with the identity on top, and in mode 1 Pluto's texture bound.
TEST_F(Scene, SwitchesAndMatrixBalanceInEveryCombination) {
    for (int combination = 0; combination < 16; ++combination) {
        solid_fill = combination & 1;
        texturing_on = (combination >> 1) & 1;
        lighting_on = (combination >> 2) & 1;
        sphere_mode = (combination >> 3) + 1;
        SCOPED_TRACE(combination);

        glPushMatrix();
        glTranslatef(1.0f, 2.0f, 3.0f);
        GLint depth_before = 0, depth_after = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
        ASSERT_TRUE(draw_scene());
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
        EXPECT_EQ(depth_after, depth_before);
        GLfloat top[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, top);
        for (int k = 0; k < 16; ++k) EXPECT_EQ(top[k], k % 5 == 0 ? 1.0f : 0.0f);
        glPopMatrix();

        GLint polygon_mode[2];
        glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
        const GLint expected_mode = solid_fill ? GL_FILL : GL_LINE;
        EXPECT_EQ(polygon_mode[0], expected_mode);
        EXPECT_EQ(polygon_mode[1], expected_mode);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing_on);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lighting_on);
        if (sphere_mode == 1) {
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(static_cast<GLuint>(bound), texture_names[10]);
        }
    }
}

// With the whole scene in view, the bodies answer with their names in drawing
// order; the only nameless record is Saturn's ring (the orbit disks, inner
// radius above outer, draw nothing here).
TEST_F(Scene, SelectionNamesFollowDrawingOrder) {
    view_scale = 0.5f;
    const std::vector<GLuint> expected = {101, 102, 103, 104, 105, 106, 107, 0, 108, 109, 110};
    for (int mode : {1, 2}) {
        sphere_mode = mode;
        EXPECT_EQ(names_hit(), expected) << "sphere mode " << mode;
    }
}

// The Sun's centre is straight ahead of the eye; a paused frame does not move
// anything; a zero or negative view scale still draws a frame.
TEST_F(Scene, ViewCentreAndOddScales) {
    ASSERT_TRUE(draw_scene());
    const auto& pixels = gl.pixels();
    const size_t centre = (static_cast<size_t>(gl.height() / 2) * gl.width() + gl.width() / 2) * 4;
    EXPECT_GT(pixels[centre] + pixels[centre + 1] + pixels[centre + 2], 0);
    EXPECT_EQ(pixels[0] + pixels[1] + pixels[2], 0);

    animating = 0;
    const double earth_before = earth_orbit;
    for (float scale : {0.0f, -1.5f}) {
        view_scale = scale;
        EXPECT_TRUE(draw_scene()) << scale;
    }
    EXPECT_EQ(earth_orbit, earth_before);
}
}  // namespace
