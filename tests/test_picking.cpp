// Picking on an offscreen Mesa context: the box a click shows, the GL state it leaves, the texts.
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/bodies.h"
#include "scene/body_info.h"
#include "scene/picking.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

// Per body from 101: caption, and the units of rotation and revolution.
static const char* const rows[10][3] = {{"태양", "일", " -"},     {"수성", "일", "일"},
                                        {"금성", "일", "일"},     {"지구", "시간", "일"},
                                        {"화성", "시간", "년"},   {"목성", "시간", "년"},
                                        {"토성", "시간", "년"},   {"천왕성", "시간", "년"},
                                        {"해왕성", "시간", "년"}, {"명왕성", "일", "년"}};

using Point = std::array<double, 3>;
using State = std::array<double, 19>;  // projection, its stack depth, matrix mode, render mode
static State gl_state() {
    State state;
    glGetDoublev(GL_PROJECTION_MATRIX, &state[0]);
    glGetDoublev(GL_PROJECTION_STACK_DEPTH, &state[16]);
    glGetDoublev(GL_MATRIX_MODE, &state[17]);
    glGetDoublev(GL_RENDER_MODE, &state[18]);
    return state;
}
static void place(const Body& body, float beside = 0.0f) {
    const float angle = body.orbit_angle == nullptr ? 0.0f : static_cast<float>(*body.orbit_angle);
    glRotatef(angle, body.axis_x, body.axis_y, body.axis_z);
    glTranslatef(body.orbit_distance + beside, 0.0f, 0.0f);
    if (body.spin_angle != nullptr) glRotatef(static_cast<float>(*body.spin_angle), 0, 1, 0);
}
// Client x, y (downward), depth of a body's centre or a point beside it; the Moon in Earth's frame.
static Point body_point(int index, float beside = 0.0f) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -22.0f);
    glRotatef(view_tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(view_turn, 0.0f, 1.0f, 0.0f);
    glScalef(view_scale, view_scale, view_scale);
    if (index == catalogue::moon) place(bodies[catalogue::earth]);
    place(bodies[index], beside);
    const GLint viewport[4] = {0, 0, 800, 600};
    double modelview[16], projection[16], x, y, depth;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(0, 0, 0, modelview, projection, viewport, &x, &y, &depth);
    glLoadIdentity();
    return {x, 600 - y, depth};
}

// Paused: the Sun at the centre twice, nothing in a corner or for a nameless first record, each
// body, nothing on the ring, the first-drawn Sun over nearer Mercury; running: one step per pick.
TEST(Picking, ClicksOnTheFrame) {
    OffscreenGl gl;
    MessageBoxRecorder recorder;
    ASSERT_TRUE(gl.ok());
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    const State state = gl_state();
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    auto pick = [&](const Point& at, const char* caption) {  // null: no box
        const size_t count = boxes.size();
        pick_at(std::lround(at[0]), std::lround(at[1]));
        EXPECT_EQ(gl_state(), state) << at[0] << "," << at[1];
        ASSERT_EQ(boxes.size(), count + (caption != nullptr)) << at[0] << "," << at[1];
        if (caption == nullptr) return;
        EXPECT_EQ(boxes.back().caption, caption) << at[0] << "," << at[1];
    };
    window_handle = reinterpret_cast<WindowHandle>(&recorder);  // any address, never used
    animating = 0;
    const double earth_before = earth_orbit;
    pick({400, 300}, "태양");
    pick({400, 300}, "태양");
    pick({3, 3}, nullptr);
    const GLuint nameless_then_uranus[] = {0, 5, 9, 1, 2, 3, 108};
    show_body_info(nameless_then_uranus);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "반지름(Km) : 695,500\n질량(10*24승 Kg) : 1,989,000\n밀도(g/cm3) : 1.41\n"
              "중력(지구=1) : 28\n자전주기 : 25.4일\n공전주기 : -");
    EXPECT_EQ(boxes[0].owner, window_handle);
    EXPECT_EQ(boxes[1].text, boxes[0].text);
    EXPECT_EQ(earth_orbit, earth_before);

    view_tilt = 90.0f, view_scale = 0.6f;  // from above, small enough for Pluto
    for (int index = 0; index < catalogue::count; ++index)
        pick(body_point(index), rows[index - (index >= catalogue::moon)][0]);  // the Moon: Earth's
    view_turn = static_cast<float>(-saturn_orbit), view_scale = 1.0f;
    pick(body_point(catalogue::saturn, 0.395f), nullptr);  // on the ring beside the planet
    view_tilt = 0.0f, view_turn = static_cast<float>(270.0 - mercury_orbit);
    const auto sun = body_point(catalogue::sun), mercury = body_point(catalogue::mercury);
    ASSERT_LE(std::abs(mercury[0] - sun[0]) + std::abs(mercury[1] - sun[1]), 1.0);
    ASSERT_LT(mercury[2], sun[2]);
    pick(mercury, "태양");

    animating = 1;
    for (int step = 1; step <= 2; ++step) {
        pick({400, 300}, "태양");
        EXPECT_EQ(earth_orbit, earth_before + step);
    }
    gluDeleteQuadric(std::exchange(quadric, nullptr));
}

// Ten captions and texts of six lines with their units; Earth in full.
TEST(BodyInfo, TenCaptionsAndTexts) {
    for (int k = 0; k < 10; ++k) {
        const BodyInfo* info = find_body_info(101 + k);
        ASSERT_NE(info, nullptr) << k;
        const std::string text = info->text, rotation = rows[k][1], revolution = rows[k][2];
        EXPECT_STREQ(info->caption, rows[k][0]);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << k;
        EXPECT_NE(text.find(rotation + "\n공전주기 : "), std::string::npos) << k;
        EXPECT_EQ(text.rfind(revolution), text.size() - revolution.size()) << k;
    }
    EXPECT_EQ(find_body_info(100), nullptr);
    EXPECT_EQ(find_body_info(111), nullptr);
    EXPECT_STREQ(find_body_info(104)->text,
                 "반지름(Km) : 6378.1\n질량(10*24승 Kg) : 5.97\n밀도(g/cm3) : 5.52\n"
                 "중력(지구=1) : 1.00\n자전주기 : 23.93시간\n공전주기 : 365.24일");
    EXPECT_STREQ(find_body_info(101)->caption, "\xED\x83\x9C\xEC\x96\x91");  // the UTF-8 bytes
}

// The pick rebuilds the projection from the stored float aspect ratio, not the double quotient
// that the view uses: at 647 x 600 the two give different matrices.
static std::array<double, 16> projection_in_box;
TEST(Picking, UsesTheFloatAspectRatioAroundTheClick) {
    OffscreenGl gl(647, 600);
    ASSERT_TRUE(gl.ok());
    resize_view(647, 600);
    ASSERT_TRUE(init_render_state());
    animating = 0;
    set_message_box_hook([](WindowHandle, const char*, const char*, unsigned) {
        glGetDoublev(GL_PROJECTION_MATRIX, projection_in_box.data());
        return IDOK;
    });
    pick_at(323, 300);  // the Sun
    set_message_box_hook(nullptr);
    auto expected = [](double aspect) {
        GLint viewport[4] = {0, 0, 647, 600};
        std::array<double, 16> matrix;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPickMatrix(323.0, 600.0 - 300.0, 2.0, 2.0, viewport);
        gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);
        glGetDoublev(GL_PROJECTION_MATRIX, matrix.data());
        return matrix;
    };
    EXPECT_EQ(projection_in_box, expected(static_cast<double>(aspect_ratio)));
    EXPECT_NE(projection_in_box, expected(647.0 / 600.0));
    gluDeleteQuadric(std::exchange(quadric, nullptr));
}
