// One frame of the scene recorded call by call on a real offscreen Mesa context; the sphere and
// the animation angles. The frames and the angles start from the starting values: ctest runs
// each test in a process of its own.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/sphere.h"
#include "support/offscreen_gl.h"

// A call as text, its arguments printed after their type (floats to 9 digits and doubles to 17,
// so that the precision shows), and as numbers.
struct Call {
    std::string text;
    std::vector<double> values;
};
struct Arg {
    double value;
    const char* format = "%.0f";
    Arg(float v) : value(v), format("%.9g") {}
    Arg(double v) : value(v), format("%.17g") {}
    Arg(int v) : value(v) {}
    Arg(GLuint v) : value(v) {}
    Arg(GLubyte v) : value(v) {}
    Arg(GLUquadric* q) : value(q == quadric), format("quadric %.0f") {}
};
static Call call(const char* name, std::initializer_list<Arg> args) {
    Call c{std::string(name) + "(", {}};
    char buffer[32];
    for (const Arg& arg : args) {
        std::snprintf(buffer, sizeof buffer, arg.format, arg.value);
        c.text += (c.values.empty() ? "" : ", ") + std::string(buffer);
        c.values.push_back(arg.value);
    }
    c.text += ")";
    return c;
}

// This executable's own definitions of the entry points that the scene and the sphere call: each
// records the call, then hands it to Mesa's. What GLU calls inside a quadric call is not recorded.
static std::vector<Call> calls;
static int inside_glu = 0;
#define RECORDED(name, params, ...)                                                   \
    extern "C" void name params {                                                     \
        static auto real = reinterpret_cast<void(*) params>(dlsym(RTLD_NEXT, #name)); \
        if (inside_glu == 0) calls.push_back(call(#name, {__VA_ARGS__}));             \
        ++inside_glu, real(__VA_ARGS__), --inside_glu;                                \
    }
// clang-format off
RECORDED(glPolygonMode, (GLenum face, GLenum mode), face, mode)
RECORDED(glClear, (GLbitfield mask), mask)
RECORDED(glEnable, (GLenum cap), cap)
RECORDED(glDisable, (GLenum cap), cap)
RECORDED(glLoadIdentity, ())
RECORDED(glInitNames, ())
RECORDED(glPushName, (GLuint name), name)
RECORDED(glPopName, ())
RECORDED(glPushMatrix, ())
RECORDED(glPopMatrix, ())
RECORDED(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), a, x, y, z)
RECORDED(glScalef, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glColor3f, (GLfloat r, GLfloat g, GLfloat b), r, g, b)
RECORDED(glColor3ub, (GLubyte r, GLubyte g, GLubyte b), r, g, b)
RECORDED(glBindTexture, (GLenum target, GLuint name), target, name)
RECORDED(glCallList, (GLuint list), list)
RECORDED(gluQuadricTexture, (GLUquadric* q, GLboolean on), q, on)
RECORDED(gluSphere, (GLUquadric* q, GLdouble r, GLint slices, GLint stacks), q, r, slices, stacks)
RECORDED(gluDisk, (GLUquadric* q, GLdouble in, GLdouble out, GLint slices, GLint loops),
         q, in, out, slices, loops)
RECORDED(glBegin, (GLenum mode), mode)
RECORDED(glEnd, ())
RECORDED(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glTexCoord2f, (GLfloat s, GLfloat t), s, t)
RECORDED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
// clang-format on

// The record as text, each run of closed triangle strips shortened to "sphere(radius, count)":
// count + 1 vertex pairs in each of count / 2 strips, the second vertex on the south pole.
static std::vector<std::string> frame_text() {
    std::vector<std::string> text;
    for (size_t at = 0; at < calls.size();) {
        size_t end = at, strips = 0, vertices = 0;
        bool closed = true;
        for (; end < calls.size() && calls[end].text == "glBegin(5)"; ++strips, ++end) {
            for (++end; end < calls.size() && calls[end].text != "glEnd()"; ++end) {
                vertices += calls[end].text[2] == 'V';
                if (calls[end].text[2] == 'B') closed = false;
            }
        }
        if (strips == 0 || at + 6 >= calls.size()) {
            text.push_back(calls[at++].text);
            continue;
        }
        const int count = int(vertices / strips / 2) - 1;
        const bool whole = closed && end <= calls.size() && size_t(count / 2) == strips;
        text.push_back(
            call(whole ? "sphere" : "broken", {float(-calls[at + 6].values[1]), count}).text);
        at = end;
    }
    return text;
}

// The frame as drawn k advances after the start, from the bodies' numbers: orbit angle start and
// step, orbit axis, distance, spin start and step, texture index, list, radius, count.
struct Planet {
    GLuint name;
    double orbit, orbit_step;
    float axis_x, distance;
    double spin, spin_step;
    GLuint t, list;
    float radius;
    int count;
};
const Planet planets[] = {{102, 200, 1.8, 0, 1, 58.6, 58.6, 1, 2, 0.13f, 100},
                          {103, 4, 1.4, 0, 2, -243, 243.01, 2, 3, 0.22f, 30},
                          {104, 7, 1.0, 0, 3, 1, 1.0, 3, 4, 0.2f, 30},
                          {105, 80, 1.35, 0, 4, 1, 1.1, 5, 6, 0.16f, 30},
                          {106, 150, 1.3, 0, 7, 0.41, 0.41, 6, 7, 0.3f, 30},
                          {107, 60, 1.2, 0, 9, 0.44, 1.44, 7, 8, 0.25f, 30},
                          {108, 300, 1.1, 0, 11, 0.71, 0.71, 8, 9, 0.23f, 30},
                          {109, 20, 0.9, 0, 14, 0.67, 0.67, 9, 10, 0.21f, 30},
                          {110, 110, 0.8, 15, 18, 6.3, 6.3, 10, 11, 0.2f, 30}};

static float angle(double start, double step, int k) {
    for (int i = 0; i < k; ++i) start += step;
    return float(start);
}

static std::vector<std::string> expected_frame(int k, bool mode_1, bool on, float tilt, float turn,
                                               float scale) {
    std::vector<std::string> f;
    const auto add = [&](const char* name, std::initializer_list<Arg> args) {
        f.push_back(call(name, args).text);
    };
    const auto sphere = [&](GLuint t, GLuint list, float radius, int count) {
        if (mode_1) {
            add("glBindTexture", {GLuint(GL_TEXTURE_2D), texture_names[t]});
            add("sphere", {radius, count});
        } else {
            add("glCallList", {list});
            add("gluQuadricTexture", {quadric, GLubyte(GL_TRUE)});
            add("gluSphere", {quadric, double(radius), 100, 100});
        }
    };
    const auto disk = [&](float turned, float x, float z, float tilt, double in, double out) {
        add("glPushMatrix", {});
        add("glColor3ub", {GLubyte(255), GLubyte(255), GLubyte(255)});
        if (x != 0) add("glRotatef", {turned, 0.0f, 1.0f, 0.0f});
        if (x != 0) add("glTranslatef", {x, 0.0f, z});
        add("glRotatef", {tilt, 1.0f, 0.0f, 0.0f});
        add("gluDisk", {quadric, in, out, 100, 1});
        add("glPopMatrix", {});
    };
    add("glPolygonMode", {GLuint(GL_FRONT_AND_BACK), GLuint(on ? GL_FILL : GL_LINE)});
    add("glClear", {GLuint(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)});
    add(on ? "glEnable" : "glDisable", {GLuint(GL_TEXTURE_2D)});
    add(on ? "glEnable" : "glDisable", {GLuint(GL_LIGHTING)});
    for (const char* name : {"glLoadIdentity", "glInitNames", "glPushMatrix"}) add(name, {});
    add("glTranslatef", {0.0f, 0.0f, -22.0f});
    add("glRotatef", {tilt, 1.0f, 0.0f, 0.0f});
    add("glRotatef", {turn, 0.0f, 1.0f, 0.0f});
    add("glRotatef", {0.0f, 0.0f, 0.0f, 1.0f});
    add("glScalef", {scale, scale, scale});
    add("glPushName", {GLuint(101)});
    add("glPushMatrix", {});
    add("glRotatef", {angle(0.68, 0.68, k), 0.0f, 1.0f, 0.0f});
    sphere(0, 1, 0.6f, 100);
    add("glPopMatrix", {});
    add("glPopName", {});
    for (const Planet& p : planets) {
        add("glPushName", {p.name});
        add("glPushMatrix", {});
        if (p.name != 102) add("glColor3f", {1.0f, 1.0f, 1.0f});
        add("glRotatef", {angle(p.orbit, p.orbit_step, k), p.axis_x, 1.0f, 0.0f});
        add("glTranslatef", {p.distance, 0.0f, 0.0f});
        add("glRotatef", {angle(p.spin, p.spin_step, k), 0.0f, 1.0f, 0.0f});
        sphere(p.t, p.list, p.radius, p.count);
        if (p.name == 104) {  // the Moon, inside Earth's spun frame
            add("glRotatef", {angle(10, 1.5, k), 0.0f, 1.0f, 0.0f});
            add("glTranslatef", {0.4f, 0.0f, 0.0f});
            sphere(4, 5, 0.07f, 30);
        }
        add("glPopMatrix", {});
        add("glPopName", {});
        if (p.name == 104) disk(angle(10, 1.0, k), 3, 0.1f, 90, 0.4, 0);  // the Moon's orbit
        disk(0, 0, 0, 90, p.distance, 0);
        if (p.name == 107) disk(angle(60, 1.2, k), 9, 0, 45, 0.29, 0.5);  // the ring
    }
    add("glPopMatrix", {});
    return f;
}

static void expect_frame(const std::vector<std::string>& expected) {
    calls.clear();
    ASSERT_TRUE(draw_scene());
    const std::vector<std::string> got = frame_text();
    for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        const std::string a = i < got.size() ? got[i] : "(end)";
        const std::string b = i < expected.size() ? expected[i] : "(end)";
        ASSERT_EQ(a, b) << "call " << i << " of " << expected.size();
    }
}

// Frame 1 as the program starts; frame 2 with every switch off in sphere mode 2 and another view;
// frame 3 paused, the same as frame 2.
TEST(Scene, RecordedFrames) {
    OffscreenGl gl;
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(gl.width(), gl.height());
    ASSERT_TRUE(init_render_state());
    for (int i = 0; i < texture_count; ++i) ASSERT_EQ(texture_names[i], GLuint(i + 1));
    expect_frame(expected_frame(1, true, true, 22.5f, 0.0f, 1.0f));
    solid_fill = texturing_on = lighting_on = 0, sphere_mode = 2;
    view_tilt = 0.1f, view_turn = -30.25f, view_scale = -0.2f;
    expect_frame(expected_frame(2, false, false, 0.1f, -30.25f, -0.2f));
    animating = 0;
    expect_frame(expected_frame(2, false, false, 0.1f, -30.25f, -0.2f));
}

using Vertex = std::array<float, 8>;  // normal, texture coordinate, position
using Strip = std::vector<Vertex>;
static std::vector<Strip> capture(float cx, float cy, float cz, float radius, int count) {
    calls.clear();
    draw_uv_sphere(cx, cy, cz, radius, count);
    std::vector<Strip> strips;
    Vertex v{};
    for (const Call& c : calls) {
        const char kind = c.text[2];  // Begin, End, Normal, TexCoord, Vertex
        for (size_t k = 0; kind != 'B' && k < c.values.size(); ++k)
            v[(kind == 'N' ? 0 : kind == 'T' ? 3 : 5) + k] = float(c.values[k]);
        if (kind == 'B') strips.emplace_back();
        if (kind == 'V') strips.back().push_back(v);
    }
    return strips;
}

// Counts 4 and 5: strips, upper vertex first, normals and positions from +x toward +z, s, t,
// winding. (The frames check the counts of larger spheres.)
TEST(Sphere, BandsNormalsTextureCoordinatesAndWinding) {
    OffscreenGl gl;
    const auto four = capture(0, 0, 0, 1, 4);
    ASSERT_EQ(four.size(), 2u);
    EXPECT_EQ(calls.front().text + calls.back().text, "glBegin(5)glEnd()");
    for (int band = 0; band < 2; ++band) {
        ASSERT_EQ(four[band].size(), 10u);
        for (int k = 0; k < 10; ++k) {
            const Vertex& v = four[band][k];
            const int j = k / 2, edge = band + (k % 2 == 0 ? 1 : 0);
            const double lat = (edge - 1) * M_PI / 2, lon = j * M_PI / 2;
            const double n[3] = {cos(lat) * cos(lon), sin(lat), cos(lat) * sin(lon)};
            for (int a = 0; a < 3; ++a) {
                EXPECT_NEAR(v[a], n[a], 1e-6) << band << "/" << k;
                EXPECT_NEAR(v[5 + a], n[a], 1e-6) << band << "/" << k;  // radius 1
            }
            EXPECT_EQ(v[3], -j / 4.0f);
            EXPECT_EQ(v[4], 0.5f * edge);
        }
    }
    const float *a = &four[0][0][5], *b = &four[0][1][5], *c = &four[0][2][5];
    EXPECT_LT(a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                  a[2] * (b[0] * c[1] - b[1] * c[0]),
              -0.5);  // det(a, b, c) < 0: clockwise from outside
    const auto five = capture(0, 0, 0, 1, 5);
    ASSERT_EQ(five.size(), 2u);
    EXPECT_NEAR(std::asin(five[1][0][1]), 54.0 * M_PI / 180, 1e-6);
    EXPECT_EQ(five[1][0][4], 0.8f);
}

// Count 30: a vertex exact only with float-widened 2 pi and pi / 2 in double arithmetic rounded
// at the call; negative radius or count the same sphere; degenerate input the centre as a point.
TEST(Sphere, ExactVertexNegativeAndDegenerateInputs) {
    OffscreenGl gl;
    const auto reference = capture(0.1f, 0.2f, 0.3f, 0.2f, 30);
    EXPECT_EQ(reference[0][6], (Vertex{0x1.587b5ep-3f, -0x1.f4cfc4p-1f, 0x1.f48fcp-4f, -0.1f,
                                       1 / 15.0f, 0x1.11b246p-3f, 0x1.1e6c76p-8f, 0x1.4c3a64p-2f}));
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, -0.2f, 30), reference);
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, 0.2f, -30), reference);
    for (auto [radius, count] : {std::pair{1.0f, 3}, {1.0f, -3}, {0.0f, 30}, {NAN, 30}}) {
        capture(1.0f, 2.0f, 3.0f, radius, count);
        EXPECT_EQ(frame_text(),
                  (std::vector<std::string>{"glBegin(0)", "glVertex3f(1, 2, 3)", "glEnd()"}))
            << radius << " " << count;
    }
}

// Start, step, advance of the first reset to 0, advances per revolution (0, 0: spin, never reset).
struct Expected {
    double* angle;
    double initial, step;
    int first_reset, period;
};
const Expected expected[] = {
    {&sun_spin, 0.68, 0.68, 0, 0},        {&mercury_orbit, 200, 1.8, 89, 200},
    {&mercury_spin, 58.6, 58.6, 0, 0},    {&venus_orbit, 4, 1.4, 255, 258},
    {&venus_spin, -243, 243.01, 0, 0},    {&earth_orbit, 7, 1.0, 353, 360},
    {&earth_spin, 1, 1.0, 0, 0},          {&moon_orbit, 10, 1.5, 234, 240},
    {&mars_orbit, 80, 1.35, 208, 267},    {&mars_spin, 1, 1.1, 0, 0},
    {&jupiter_orbit, 150, 1.3, 162, 277}, {&jupiter_spin, 0.41, 0.41, 0, 0},
    {&saturn_orbit, 60, 1.2, 250, 300},   {&saturn_spin, 0.44, 1.44, 0, 0},
    {&ring_angle, 60, 1.2, 250, 300},     {&uranus_orbit, 300, 1.1, 55, 328},
    {&uranus_spin, 0.71, 0.71, 0, 0},     {&neptune_orbit, 20, 0.9, 378, 400},
    {&neptune_spin, 0.67, 0.67, 0, 0},    {&pluto_orbit, 110, 0.8, 313, 450},
    {&pluto_spin, 6.3, 6.3, 0, 0},        {&moon_disk_angle, 10, 1.0, 350, 360},
};
constexpr size_t angle_count = sizeof expected / sizeof expected[0];

// The table over 1000 advances, the ring on Saturn, the Moon-orbit disk 3 degrees ahead of Earth;
// a paused advance changes no bit; the limit is the float nearest 359.95 (the double is kept).
TEST(Animation, LongRunPauseAndWrapLimit) {
    animating = 1;
    int resets[angle_count][2] = {};
    for (int frame = 1; frame <= 1000; ++frame) {
        advance_orbits();
        for (size_t k = 0; k < angle_count; ++k) {
            const Expected& e = expected[k];
            EXPECT_TRUE(frame > 1 || *e.angle == e.initial + e.step) << k << ": " << *e.angle;
            if (*e.angle != 0.0) continue;
            ASSERT_NE(e.period, 0) << "spin " << k << " reset at frame " << frame;
            int& slot = resets[k][0] == 0 ? resets[k][0] : resets[k][1];
            if (slot == 0) slot = frame;
        }
        ASSERT_EQ(ring_angle, saturn_orbit) << frame;
        const double lead = moon_disk_angle - earth_orbit;
        ASSERT_TRUE(lead == 3.0 || lead == -357.0) << frame << ": " << lead;
    }
    double before[angle_count], after[angle_count];
    for (size_t k = 0; k < angle_count; ++k) {
        before[k] = *expected[k].angle;
        EXPECT_EQ(resets[k][0], expected[k].first_reset) << "angle " << k;
        EXPECT_EQ(resets[k][1] - resets[k][0], expected[k].period) << "angle " << k;
    }
    animating = 0;
    advance_orbits();
    for (size_t k = 0; k < angle_count; ++k) after[k] = *expected[k].angle;
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);

    animating = 1;
    const double kept_limit = 359.95001220703125, reset = std::nextafter(kept_limit, 400.0);
    for (double target : {359.95, kept_limit, reset}) {
        earth_orbit = target - 1.0;
        advance_orbits();
        EXPECT_EQ(earth_orbit, target == reset ? 0.0 : target) << target;
    }
}
