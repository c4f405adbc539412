// Picking on an offscreen Mesa context: the box a click shows, the GL state it leaves, the texts.
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "scene/picking.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

// The captions from 101 to 110, and the FNV-1a digest of each text of the facts table in UTF-8
// (the Sun's in full).
const std::string captions[10] = {"태양", "수성", "금성",   "지구",   "화성",
                                  "목성", "토성", "천왕성", "해왕성", "명왕성"};
const std::uint32_t digests[10] = {0xe524689c, 0x3c152b62, 0xa04389ff, 0xfa40ee9d, 0x121025f3,
                                   0x5278bc67, 0x12e9d406, 0x8b4c3d24, 0x3a1d98cc, 0x1e728138};
const char* const sun_text =
    "반지름(Km) : 695,500\n질량(10*24승 Kg) : 1,989,000\n밀도(g/cm3) : 1.41\n"
    "중력(지구=1) : 28\n자전주기 : 25.4일\n공전주기 : -";

// Where the bodies start: orbit angle, orbit axis x (y is 1), distance; the Moon, from Earth's
// centre after Earth's spin of 1, at orbit angle 10 and distance 0.4.
const float starts[11][3] = {{0, 0, 0},     {200, 0, 1}, {4, 0, 2},    {7, 0, 3},
                             {10, 0, 0.4f}, {80, 0, 4},  {150, 0, 7},  {60, 0, 9},
                             {300, 0, 11},  {20, 0, 14}, {110, 15, 18}};

using Point = std::array<double, 3>;
// Client x, y (downward) and depth of body k of `starts` in an 800 x 600 view, or of a point
// `beside` it along its frame's x axis.
static Point screen_point(int k, float beside = 0.0f) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -22.0f);
    glRotatef(view_tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(view_turn, 0.0f, 1.0f, 0.0f);
    glScalef(view_scale, view_scale, view_scale);
    if (k == 4) glRotatef(7, 0, 1, 0), glTranslatef(3, 0, 0), glRotatef(1, 0, 1, 0);
    glRotatef(starts[k][0], starts[k][1], 1.0f, 0.0f);
    glTranslatef(starts[k][2] + beside, 0.0f, 0.0f);
    const GLint viewport[4] = {0, 0, 800, 600};
    double modelview[16], projection[16], x, y, depth;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(0, 0, 0, modelview, projection, viewport, &x, &y, &depth);
    glLoadIdentity();
    return {x, 600 - y, depth};
}

using State = std::array<double, 19>;  // projection, its stack depth, matrix mode, render mode
static State gl_state() {
    State state;
    glGetDoublev(GL_PROJECTION_MATRIX, &state[0]);
    glGetDoublev(GL_PROJECTION_STACK_DEPTH, &state[16]);
    glGetDoublev(GL_MATRIX_MODE, &state[17]);
    glGetDoublev(GL_RENDER_MODE, &state[18]);
    return state;
}

// Paused: the Sun at the centre twice, nothing in a corner, just beside the Sun, for a nameless
// first record or another name; each body from above with its caption and text, nothing on the
// ring, the first-drawn Sun over nearer Mercury; running: one step per pick.
TEST(Picking, ClicksOnTheFrame) {
    OffscreenGl gl;
    MessageBoxRecorder recorder;
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    const State state = gl_state();
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    auto pick = [&](const Point& at, int body) {  // -1: no box; else from 0 for 101
        const size_t count = boxes.size();
        pick_at(std::lround(at[0]), std::lround(at[1]));
        EXPECT_EQ(gl_state(), state) << at[0] << "," << at[1];
        ASSERT_EQ(boxes.size(), count + (body >= 0)) << at[0] << "," << at[1];
        if (body < 0) return;
        std::uint32_t digest = 0x811c9dc5;
        for (unsigned char c : boxes.back().text) digest = (digest ^ c) * 0x01000193;
        EXPECT_EQ(boxes.back().caption + " " + std::to_string(digest),
                  captions[body] + (" " + std::to_string(digests[body])))
            << boxes.back().text;
    };
    window_handle = reinterpret_cast<WindowHandle>(&recorder);  // any address, never used
    animating = 0;
    pick({400, 300}, 0);
    pick({400, 300}, 0);
    pick({3, 3}, -1);
    pick({426, 300}, -1);  // the Sun's edge lies 19.7 pixels from the centre
    const GLuint nameless_then_uranus[] = {0, 5, 9, 1, 2, 3, 108}, not_a_body[] = {1, 2, 3, 111};
    show_body_info(nameless_then_uranus);
    show_body_info(not_a_body);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, sun_text);
    EXPECT_EQ(boxes[0].owner, window_handle);
    EXPECT_EQ(boxes[0].flags, 0u);

    view_tilt = 90.0f, view_scale = 0.6f;  // from above, small enough for Pluto
    for (int k = 0; k < 11; ++k) pick(screen_point(k), k - (k >= 4));  // the Moon: Earth's
    view_turn = -60.0f, view_scale = 1.0f;
    pick(screen_point(7, 0.395f), -1);  // on the ring beside Saturn
    view_tilt = 0.0f, view_turn = 70.0f;
    const Point sun = screen_point(0), mercury = screen_point(1);
    ASSERT_LE(std::abs(mercury[0] - sun[0]) + std::abs(mercury[1] - sun[1]), 1.0);
    ASSERT_LT(mercury[2], sun[2]);
    pick(mercury, 0);

    animating = 1;
    for (double orbit : {8.0, 9.0}) {
        pick({400, 300}, 0);
        EXPECT_EQ(earth_orbit, orbit);
    }
    gluDeleteQuadric(std::exchange(quadric, nullptr));
}
