// Tests of the projection (resize_view) and the fixed render state
// (init_render_state) on a real offscreen Mesa context.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "render/render_state.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"
#include "support/x11_harness.h"

using Matrix = std::array<GLfloat, 16>;

static Matrix current_matrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

static Matrix identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

// The projection gluPerspective builds on this context for an aspect ratio,
// with the single-precision near plane widened to double.
static Matrix perspective_for(double aspect) {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);
    Matrix m = current_matrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
    return m;
}

class RenderStateTest : public ::testing::Test {
   protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()); }
    void TearDown() override {
        if (quadric != nullptr) gluDeleteQuadric(quadric);
        quadric = nullptr;
        aspect_ratio = 0.0f;
    }
    OffscreenGl gl;
};

TEST(ProjectionConstants, NearPlaneIsTheFloatTenthWidened) {
    EXPECT_EQ(static_cast<double>(near_plane), 0.10000000149011612);
    EXPECT_NE(static_cast<double>(near_plane), 0.1);
}

struct ResizeCase {
    int width;
    int height;
    int viewport_height;  // a height of 0 becomes 1
};

TEST_F(RenderStateTest, ResizeViewSetsViewportProjectionAspectAndIdentityModelview) {
    const ResizeCase cases[] = {
        {800, 600, 600}, {800, 601, 601}, {1024, 768, 768}, {123, 457, 457},
        {640, 0, 1},     {0, 0, 1},       {0, 480, 480},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        // Leave another matrix selected and the modelview dirty.
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_TEXTURE);

        resize_view(c.width, c.height);

        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.viewport_height);

        double exact_aspect = static_cast<double>(c.width) / c.viewport_height;
        EXPECT_EQ(aspect_ratio, static_cast<float>(exact_aspect));
        EXPECT_EQ(current_matrix(GL_PROJECTION_MATRIX), perspective_for(exact_aspect));

        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(current_matrix(GL_MODELVIEW_MATRIX), identity());
    }
}

TEST_F(RenderStateTest, ProjectionUsesTheDoubleQuotientNotTheStoredFloat) {
    resize_view(800, 600);
    EXPECT_EQ(aspect_ratio, static_cast<float>(4.0 / 3.0));
    EXPECT_NE(static_cast<double>(aspect_ratio), 4.0 / 3.0);

    // For these sizes the rounded ratio would give a different matrix.
    for (auto [width, height] : {std::pair{800, 601}, std::pair{123, 457}}) {
        resize_view(width, height);
        double exact = static_cast<double>(width) / height;
        ASSERT_NE(perspective_for(exact), perspective_for(static_cast<float>(exact)));
        EXPECT_EQ(current_matrix(GL_PROJECTION_MATRIX), perspective_for(exact));
    }
}

TEST_F(RenderStateTest, InitRenderStateSetsTheFixedStateAndReturnsTrue) {
    // Non-initial values where the wanted state is also OpenGL's initial one.
    glShadeModel(GL_FLAT);
    glColorMaterial(GL_BACK, GL_EMISSION);

    // No pictures in the working directory: loading fails (boxes recorded),
    // and the result is still true.
    ScratchDir empty_dir;
    char previous_dir[4096];
    ASSERT_NE(getcwd(previous_dir, sizeof previous_dir), nullptr);
    ASSERT_EQ(chdir(empty_dir.path().c_str()), 0);
    MessageBoxRecorder boxes;
    bool result = init_render_state();
    ASSERT_EQ(chdir(previous_dir), 0);

    EXPECT_TRUE(result);
    EXPECT_NE(quadric, nullptr);
    for (GLenum cap : {GL_NORMALIZE, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0,
                       GL_LIGHT1, GL_TEXTURE_2D}) {
        EXPECT_TRUE(glIsEnabled(cap)) << "capability 0x" << std::hex << cap;
    }
    auto integer = [](GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    };
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>(clear, clear + 4), (std::vector<GLfloat>{0, 0, 0, 0.5f}));
    GLfloat depth_clear = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth_clear);
    EXPECT_EQ(depth_clear, 1.0f);

    // Lights keep OpenGL's initial parameters: light 1 stays black.
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_EQ(std::vector<GLfloat>(diffuse, diffuse + 4), (std::vector<GLfloat>{0, 0, 0, 1}));
}
