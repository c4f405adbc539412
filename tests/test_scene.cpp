// The scene and its textures on an offscreen Mesa context. Every test starts from the starting
// values: ctest runs each test in a process of its own.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/picking.h"
#include "scene/sphere.h"
#include "support/bitmap_writer.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"
#include "support/x11_harness.h"

// A call as text, every number to 17 digits; the program's quadric shows as 1.
struct Number {
    template <class T>
    Number(T v) : value(double(v)) {}
    Number(GLUquadric* q) : value(q == quadric) {}
    double value;
};
using Args = std::initializer_list<Number>;
static std::string call(const char* name, Args args) {
    std::string text = std::string(name) + "(";
    char number[32];
    for (const Number& arg : args) {
        std::snprintf(number, sizeof number, "%.17g", arg.value);
        text += (text.back() == '(' ? "" : ", ") + std::string(number);
    }
    return text + ")";
}

// This executable's own definitions of the entry points that the scene and the sphere call: each
// records the call, then hands it to Mesa's. What GLU calls inside a quadric call is not recorded.
static std::vector<std::string> calls;
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

// The record, each run of triangle strips shortened to "sphere(radius, count, strips)": the
// radius from the south pole (the second vertex), count + 1 vertex pairs in each strip.
static std::vector<std::string> frame_text() {
    std::vector<std::string> text;
    for (size_t at = 0, end = 0, strips = 0, vertices = 0; at < calls.size(); at = end) {
        for (strips = vertices = 0; end < calls.size() && calls[end] == "glBegin(5)"; ++end)
            for (++strips; ++end < calls.size() && calls[end] != "glEnd()";)
                vertices += calls[end][2] == 'V';
        float y = 0;
        if (strips > 0 && std::sscanf(calls.at(at + 6).c_str(), "glVertex3f(%*f, %f", &y) == 1)
            text.push_back(call("sphere", {-y, vertices / strips / 2 - 1, strips}));
        else
            text.push_back(calls.at(end++));
    }
    return text;
}

// Each body: name, orbit angle's start and step per frame (step 0: none), spin's, orbit axis x
// (y is 1), distance, radius, texture index, list, segment count. The Moon is in Earth's frame.
struct Planet {
    unsigned name;
    double orbit, orbit_step, spin, spin_step;
    float axis_x, distance, radius;
    unsigned t, list;
    int count;
};
const Planet planets[] = {{101, 0, 0, 0.68, 0.68, 0, 0, 0.6f, 0, 1, 100},
                          {102, 200, 1.8, 58.6, 58.6, 0, 1, 0.13f, 1, 2, 100},
                          {103, 4, 1.4, -243, 243.01, 0, 2, 0.22f, 2, 3, 30},
                          {104, 7, 1.0, 1, 1.0, 0, 3, 0.2f, 3, 4, 30},
                          {105, 80, 1.35, 1, 1.1, 0, 4, 0.16f, 5, 6, 30},
                          {106, 150, 1.3, 0.41, 0.41, 0, 7, 0.3f, 6, 7, 30},
                          {107, 60, 1.2, 0.44, 1.44, 0, 9, 0.25f, 7, 8, 30},
                          {108, 300, 1.1, 0.71, 0.71, 0, 11, 0.23f, 8, 9, 30},
                          {109, 20, 0.9, 0.67, 0.67, 0, 14, 0.21f, 9, 10, 30},
                          {110, 110, 0.8, 6.3, 6.3, 15, 18, 0.2f, 10, 11, 30}};
const Planet moon = {104, 10, 1.5, 0, 0, 0, 0.4f, 0.07f, 4, 5, 30};
// k advances after the start; past the float nearest 359.95 an orbit angle goes back to 0.
static float angle(double start, double step, int k, bool orbit = true) {
    for (int i = 0; i < k; ++i)
        start = orbit && start + step > 359.95001220703125 ? 0 : start + step;
    return float(start);
}

// The frame drawn k advances after the start, in sphere mode 1 or 2, the switches all on or off.
static std::vector<std::string> expected_frame(int k, bool mode_1, bool on, float tilt, float turn,
                                               float scale) {
    std::vector<std::string> f;
    const auto add = [&](const char* name, Args args) { f.push_back(call(name, args)); };
    const auto place_and_draw = [&](const Planet& p) {
        if (p.orbit_step) add("glRotatef", {angle(p.orbit, p.orbit_step, k), p.axis_x, 1, 0});
        if (p.orbit_step) add("glTranslatef", {p.distance, 0.0f, 0.0f});
        if (p.spin_step) add("glRotatef", {angle(p.spin, p.spin_step, k, false), 0.0f, 1.0f, 0.0f});
        if (mode_1) add("glBindTexture", {GL_TEXTURE_2D, p.t + 1});  // the objects are 1 to 13
        if (mode_1) add("sphere", {double(p.radius), p.count, p.count / 2});
        if (mode_1) return;
        add("glCallList", {p.list});
        add("gluQuadricTexture", {quadric, GL_TRUE});
        add("gluSphere", {quadric, double(p.radius), 100, 100});
    };
    const auto disk = [&](double at, double step, float x, float z, int lean, double in,
                          double out) {
        add("glPushMatrix", {});
        add("glColor3ub", {255, 255, 255});
        if (step) add("glRotatef", {angle(at, step, k), 0.0f, 1.0f, 0.0f});
        if (step) add("glTranslatef", {x, 0.0f, z});
        add("glRotatef", {lean, 1.0f, 0.0f, 0.0f});
        add("gluDisk", {quadric, in, out, 100, 1});
        add("glPopMatrix", {});
    };
    add("glPolygonMode", {GL_FRONT_AND_BACK, on ? GL_FILL : GL_LINE});
    add("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT});
    for (unsigned cap : {GL_TEXTURE_2D, GL_LIGHTING}) add(on ? "glEnable" : "glDisable", {cap});
    for (const char* name : {"glLoadIdentity", "glInitNames", "glPushMatrix"}) add(name, {});
    add("glTranslatef", {0.0f, 0.0f, -22.0f});
    add("glRotatef", {tilt, 1.0f, 0.0f, 0.0f});
    add("glRotatef", {turn, 0.0f, 1.0f, 0.0f});
    add("glRotatef", {0.0f, 0.0f, 0.0f, 1.0f});
    add("glScalef", {scale, scale, scale});
    for (const Planet& p : planets) {
        add("glPushName", {p.name});
        add("glPushMatrix", {});
        if (p.name > 102) add("glColor3f", {1.0f, 1.0f, 1.0f});  // not the Sun, not Mercury
        place_and_draw(p);
        if (p.name == 104) place_and_draw(moon);
        add("glPopMatrix", {});
        add("glPopName", {});
        if (p.name == 104) disk(10, 1.0, 3, 0.1f, 90, 0.4, 0);  // the Moon's orbit
        if (p.orbit_step) disk(0, 0, 0, 0, 90, p.distance, 0);
        if (p.name == 107) disk(60, 1.2, 9, 0, 45, 0.29, 0.5);  // Saturn's ring
    }
    add("glPopMatrix", {});
    return f;
}

static void expect_frame(const std::vector<std::string>& expected) {
    calls.clear();
    ASSERT_TRUE(draw_scene());
    std::vector<std::string> got = frame_text();
    got.resize(std::max(got.size(), expected.size()), "(end)");
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], i < expected.size() ? expected[i] : "(end)") << "call " << i;
}

// Frame 1 as the program starts; frame 2 with every switch off in sphere mode 2 and another view;
// frame 3 paused, the same as frame 2; frame 400, after every orbit angle has gone round. The
// limit is the float nearest 359.95: an angle that reaches it is kept, one past it goes to 0.
TEST(Scene, RecordedFrames) {
    OffscreenGl gl;
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(gl.width(), gl.height());
    ASSERT_TRUE(init_render_state());
    expect_frame(expected_frame(1, true, true, 22.5f, 0.0f, 1.0f));
    solid_fill = texturing_on = lighting_on = 0, sphere_mode = 2;
    view_tilt = 0.1f, view_turn = -30.25f, view_scale = -0.2f;
    expect_frame(expected_frame(2, false, false, 0.1f, -30.25f, -0.2f));
    animating = 0;
    expect_frame(expected_frame(2, false, false, 0.1f, -30.25f, -0.2f));
    animating = 1;
    for (int k = 3; k < 400; ++k) advance_orbits();  // as 397 frames would
    expect_frame(expected_frame(400, false, false, 0.1f, -30.25f, -0.2f));
    const double kept_limit = 359.95001220703125, reset = std::nextafter(kept_limit, 400.0);
    for (double target : {359.95, kept_limit, reset}) {
        earth_orbit = target - 1.0;
        advance_orbits();
        EXPECT_EQ(earth_orbit, target == reset ? 0.0 : target) << target;
    }
}

using Vertex = std::array<float, 8>;  // normal, texture coordinate, position
static std::vector<std::vector<Vertex>> capture(float x, float y, float z, float radius, int n) {
    calls.clear();
    draw_uv_sphere(x, y, z, radius, n);
    std::vector<std::vector<Vertex>> strips;
    Vertex v{};
    for (const std::string& c : calls) {  // glBegin, glEnd, glNormal3f, glTexCoord2f, glVertex3f
        float* at = &v[c[2] == 'N' ? 0 : c[2] == 'T' ? 3 : 5];
        if (c[2] == 'B') strips.emplace_back();
        if (c[2] != 'B') std::sscanf(c.c_str() + c.find('('), "(%f, %f, %f", at, at + 1, at + 2);
        if (c[2] == 'V') strips.back().push_back(v);
    }
    return strips;
}

// Count 4: strips of vertices, the upper one first, from +x toward +z, with s and t; count 5 stops
// short of the north pole; count 30: a vertex exact only with float-widened 2 pi and pi / 2 in
// double arithmetic; a negative radius or count the same. Degenerate input: the centre alone.
TEST(Sphere, VerticesExactValuesAndDegenerateInputs) {
    OffscreenGl gl;
    const auto four = capture(0, 0, 0, 1, 4);
    for (int k = 0; k < 20; ++k) {
        const int band = k / 10, j = k % 10 / 2, edge = band + 1 - k % 2;
        const double lat = (edge - 1) * M_PI / 2, lon = j * M_PI / 2;
        const float x = cos(lat) * cos(lon), y = sin(lat), z = cos(lat) * sin(lon);
        const Vertex expected{x, y, z, -j / 4.0f, 0.5f * edge, x, y, z};
        for (int a = 0; a < 8; ++a)
            EXPECT_NEAR(four.at(band).at(k % 10)[a], expected[a], 1e-6) << k;
    }
    const auto five = capture(0, 0, 0, 1, 5);
    EXPECT_EQ(five.size(), 2u);
    EXPECT_NEAR(std::asin(five.at(1).at(0)[1]), 0.3 * M_PI, 1e-6);  // 54 degrees
    EXPECT_EQ(five.at(1).at(0)[4], 0.8f);
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

// The FNV-1a digests of the boxes of 101 to 110, caption + "\n" + text in UTF-8, from the facts
// table; the captions are 태양 수성 금성 지구 화성 목성 토성 천왕성 해왕성 명왕성.
const std::uint32_t digests[10] = {0x7db7e293, 0xedab7175, 0x17af893c, 0xfe31ec1b, 0x4419230a,
                                   0xb1a74078, 0xb485b1be, 0xa1084a9b, 0xf3dd3ccb, 0xdfbe3e7d};

// Paused: the Sun at the centre, nothing in a corner, just beside the Sun, for a nameless
// first record or another name; each body from above with its box, nothing on the ring, the
// first-drawn Sun over nearer Mercury; running: one step per pick. No pick changes the projection.
TEST(Picking, ClicksOnTheFrame) {
    OffscreenGl gl;
    MessageBoxRecorder recorder;
    ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    const auto gl_state = [] {  // projection, its stack depth, matrix mode
        std::array<double, 18> state;
        glGetDoublev(GL_PROJECTION_MATRIX, &state[0]);
        glGetDoublev(GL_PROJECTION_STACK_DEPTH, &state[16]);
        glGetDoublev(GL_MATRIX_MODE, &state[17]);
        return state;
    };
    const auto state = gl_state();
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    auto pick = [&](double x, double y, int body) {  // -1: no box; 0 for 101
        const size_t count = boxes.size();
        pick_at(std::lround(x), std::lround(y));
        EXPECT_EQ(gl_state(), state) << x << "," << y;
        ASSERT_EQ(boxes.size(), count + (body >= 0)) << x << "," << y;
        if (body < 0) return;
        std::uint32_t digest = 0x811c9dc5;
        for (unsigned char c : boxes.back().caption + "\n" + boxes.back().text)
            digest = (digest ^ c) * 0x01000193;
        EXPECT_EQ(digest, digests[body]) << boxes.back().caption << "\n" << boxes.back().text;
        EXPECT_TRUE(boxes.back().owner == window_handle && boxes.back().flags == 0);  // OK box
    };
    window_handle = reinterpret_cast<WindowHandle>(&recorder);  // any address, never used
    animating = 0;
    pick(400, 300, 0);
    pick(3, 3, -1);
    pick(426, 300, -1);  // the Sun's edge lies 19.7 pixels from the centre
    const GLuint nameless_then_uranus[] = {0, 5, 9, 1, 2, 3, 108}, not_a_body[] = {1, 2, 3, 111};
    show_body_info(nameless_then_uranus);
    show_body_info(not_a_body);
    ASSERT_EQ(boxes.size(), 1u);

    // From above at scale 0.6 a unit is 0.6 * 300 / tan(22.5) / 22 = 19.753 pixels; a body d from
    // the Sun at orbit angle a is at (400 + 19.753 d cos a, 300 - 19.753 d sin a). Pluto's tilted
    // orbit lifts it 1.6 toward the eye; the Moon is 0.4 from Earth at 7 + 1 + 10 degrees.
    view_tilt = 90.0f, view_scale = 0.6f;
    for (const Planet& p : planets) {
        const double a = p.orbit * M_PI / 180, d = 19.753 * p.distance;
        if (p.name != 110) pick(400 + d * std::cos(a), 300 - d * std::sin(a), p.name - 101);
    }
    pick(769.6, 276.8, 9);
    pick(466.3, 290.3, 3);
    view_turn = -60.0f, view_scale = 1.0f;  // Saturn now on the x axis, 32.922 pixels a unit
    pick(400 + 32.922 * 9.395, 300, -1);    // on the ring beside Saturn
    view_tilt = 0.0f, view_turn = 70.0f;    // Mercury (at 200 + 70 degrees) 1 unit nearer
    pick(400, 300, 0);                      // than the first-drawn Sun

    animating = 1;
    pick(400, 300, 0);
    EXPECT_EQ(earth_orbit, 8.0);
    gluDeleteQuadric(std::exchange(quadric, nullptr));
}

const char* const stored_names[texture_count] = {
    "Sun.bmp",   "Mercury.bmp", "Venus.bmp",  "earth.bmp",  "Moon.bmp",
    "Mars.bmp",  "Jupiter.bmp", "Saturn.bmp", "Uranus.bmp", "Neptune.bmp",
    "Pluto.bmp", "Saturn2.bmp", "Space.bmp"};

// The textures from thirteen pictures: i is 1 + i wide (mostly not a multiple of 4), 2 + i % 3
// high, with rows that differ so that rows read as padded show; as packed rows, bottom row first.
std::uint32_t colour_of(int i, int x, int y) {
    return std::uint32_t(19 * i) << 16 | (40 * x + y) % 256 << 8 | 60 * y % 256;
}
Bytes packed_rows(int i) {
    Bytes rows;
    for (int y = 0; y < 2 + i % 3; ++y)
        for (int x = 0; x < 1 + i; ++x)
            for (int shift : {16, 8, 0}) rows.push_back(std::uint8_t(colour_of(i, x, y) >> shift));
    return rows;
}

Bytes bound_image() {  // level 0 of the bound texture object, as packed rows
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    Bytes image(std::size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}

// Pluto's file stored as `pluto_as`; the picture of index `failed` missing ('m'), not a bitmap
// ('g') or a directory ('d'); the boxes shown.
struct Scenario {
    const char* name;
    const char* pluto_as;
    int failed;
    char how;
    std::vector<std::string> boxes;
};
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
class Textures : public testing::TestWithParam<Scenario> {};

// A complete set: objects 1 to 13 with linear filters and their pictures, 13 bound; a failed
// picture: none, object 0 bound with the lists' linear filters and no picture. List n uploads
// picture n - 1 into whatever is bound, list 12 Space's; a failed picture's list nothing.
TEST_P(Textures, BuildTheSetAndTheLists) {
    const Scenario& scenario = GetParam();
    const bool set = scenario.failed < 0;
    ScratchDir dir;
    std::filesystem::current_path(dir.path());
    for (int i = 0; i < texture_count; ++i)
        write_file(stored_names[i],
                   bmp_24(1 + i, 2 + i % 3, [i](int x, int y) { return colour_of(i, x, y); }));
    std::filesystem::rename("Pluto.bmp", scenario.pluto_as);
    if (!set) std::filesystem::remove(stored_names[scenario.failed]);
    if (scenario.how == 'g') write_file(stored_names[scenario.failed], {'n', 'o', 't', ' ', 'B'});
    if (scenario.how == 'd') std::filesystem::create_directory(stored_names[scenario.failed]);
    OffscreenGl gl;
    MessageBoxRecorder boxes;
    load_texture_set();
    build_texture_lists();
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes.boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, scenario.boxes);
    GLint mode = 0, bound = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && mode == GL_MODULATE);
    EXPECT_EQ(bound, set ? 13 : 0);
    for (int i = 0; i < (set ? texture_count : 1); ++i) {
        glBindTexture(GL_TEXTURE_2D, set ? i + 1 : 0);
        GLint filters[2] = {};
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters[0]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters[1]);
        EXPECT_TRUE(filters[0] == GL_LINEAR && filters[1] == GL_LINEAR) << "texture index " << i;
        EXPECT_EQ(bound_image(), set ? packed_rows(i) : Bytes{}) << "texture index " << i;
    }
    for (int n = 1; n <= 12; ++n) {
        const int index = n <= 11 ? n - 1 : 12;
        glBindTexture(GL_TEXTURE_2D, 1000 + n);  // an object never used
        glCallList(n);
        EXPECT_EQ(bound_image(), index == scenario.failed ? Bytes{} : packed_rows(index)) << n;
    }
}

const std::string not_a_bitmap = "Unknown DIB file format.";
INSTANTIATE_TEST_SUITE_P(
    Pictures, Textures,
    testing::Values(
        Scenario{"AllPresent", "pluto.bmp", -1, 0, {}},
        Scenario{"PlutoInCapitals", "PLUTO.BMP", -1, 0, {}},
        Scenario{"SpaceMissing", "Pluto.bmp", 12, 'm', {"Failed to open DIB file Space.bmp.\n"}},
        Scenario{"SunADirectory", "Pluto.bmp", 0, 'd', {"Failed to open DIB file Sun.bmp.\n"}},
        Scenario{"MoonNotABitmap", "Pluto.bmp", 4, 'g', {not_a_bitmap, not_a_bitmap}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });
