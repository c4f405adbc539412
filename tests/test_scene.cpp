// The scene and its textures on an offscreen Mesa context. Every test starts from the starting
// values: ctest runs each test in a process of its own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <utility>

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
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
using Texts = std::vector<std::string>;
static std::string call(const char* name, Args args) {
    std::ostringstream text;
    text.precision(17);
    text << name << '(';
    for (const Number& arg : args) text << (&arg == args.begin() ? "" : ", ") << arg.value;
    return text.str() + ")";
}

// This executable's own definitions of the entry points that the scene and the sphere call: each
// records the call, then hands it to Mesa's. What GLU calls inside a quadric call is not recorded.
static Texts calls;
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
RECORDED(gluDisk, (GLUquadric* q, GLdouble in, GLdouble out, GLint s, GLint l), q, in, out, s, l)
RECORDED(glBegin, (GLenum mode), mode)
RECORDED(glEnd, ())
RECORDED(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glTexCoord2f, (GLfloat s, GLfloat t), s, t)
RECORDED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
// clang-format on

// The record, each run of triangle strips shortened to "sphere(radius, count, strips)": the
// radius from the south pole (the second vertex), count + 1 vertex pairs in each strip.
static Texts frame_text() {
    Texts text;
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
// (y is 1), distance, radius, list (= texture object) and segment count. The Moon is in Earth's
// frame.
struct Planet {
    unsigned name;
    double orbit, orbit_step, spin, spin_step;
    float axis_x, distance, radius;
    int list, count;
};
const Planet planets[] = {{101, 0, 0, 0.68, 0.68, 0, 0, 0.6, 1, 100},
                          {102, 200, 1.8, 58.6, 58.6, 0, 1, 0.13, 2, 100},
                          {103, 4, 1.4, -243, 243.01, 0, 2, 0.22, 3, 30},
                          {104, 7, 1.0, 1, 1.0, 0, 3, 0.2, 4, 30},
                          {105, 80, 1.35, 1, 1.1, 0, 4, 0.16, 6, 30},
                          {106, 150, 1.3, 0.41, 0.41, 0, 7, 0.3, 7, 30},
                          {107, 60, 1.2, 0.44, 1.44, 0, 9, 0.25, 8, 30},
                          {108, 300, 1.1, 0.71, 0.71, 0, 11, 0.23, 9, 30},
                          {109, 20, 0.9, 0.67, 0.67, 0, 14, 0.21, 10, 30},
                          {110, 110, 0.8, 6.3, 6.3, 15, 18, 0.2, 11, 30}};
const Planet moon = {104, 10, 1.5, 0, 0, 0, 0.4, 0.07, 5, 30};
// The angle k advances after the start, one step added at a time (no angle reaches 360 here).
static float angle(double start, double step, int k) {
    for (int i = 0; i < k; ++i) start += step;
    return float(start);
}

// Compares the frame drawn now with the one k advances after the start: `start`, in sphere mode 1
// with every switch on and the starting view; else in mode 2, every switch off, another view.
static void expect_frame(int k, bool start) {
    Texts f;
    const auto add = [&](const char* name, Args args) { f.push_back(call(name, args)); };
    const auto place_and_draw = [&](const Planet& p) {
        if (p.orbit_step) add("glRotatef", {angle(p.orbit, p.orbit_step, k), p.axis_x, 1.0f, 0.0f});
        if (p.orbit_step) add("glTranslatef", {p.distance, 0.0f, 0.0f});
        if (p.spin_step) add("glRotatef", {angle(p.spin, p.spin_step, k), 0.0f, 1.0f, 0.0f});
        if (start) add("glBindTexture", {GL_TEXTURE_2D, p.list});
        if (start) return add("sphere", {double(p.radius), p.count, p.count / 2});
        add("glCallList", {p.list});
        add("gluQuadricTexture", {quadric, GL_TRUE});
        add("gluSphere", {quadric, double(p.radius), 100, 100});
    };
    const auto disk = [&](double at, double by, float x, float z, int tilt, double in, double out) {
        add("glPushMatrix", {});
        add("glColor3ub", {255, 255, 255});
        if (by) add("glRotatef", {angle(at, by, k), 0.0f, 1.0f, 0.0f});
        if (by) add("glTranslatef", {x, 0.0f, z});
        add("glRotatef", {tilt, 1.0f, 0.0f, 0.0f});
        add("gluDisk", {quadric, in, out, 100, 1});
        add("glPopMatrix", {});
    };
    const float scale = start ? 1.0f : -0.2f;
    add("glPolygonMode", {GL_FRONT_AND_BACK, start ? GL_FILL : GL_LINE});
    add("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT});
    for (unsigned cap : {GL_TEXTURE_2D, GL_LIGHTING}) add(start ? "glEnable" : "glDisable", {cap});
    for (const char* name : {"glLoadIdentity", "glInitNames", "glPushMatrix"}) add(name, {});
    add("glTranslatef", {0.0f, 0.0f, -22.0f});
    add("glRotatef", {start ? 22.5f : 0.1f, 1.0f, 0.0f, 0.0f});
    add("glRotatef", {start ? 0.0f : -30.25f, 0.0f, 1.0f, 0.0f});
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
    calls.clear();
    ASSERT_TRUE(draw_scene());
    Texts got = frame_text();
    got.resize(std::max(got.size(), f.size()), "(end)"), f.resize(got.size(), "(end)");
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], f[i]) << "call " << i;
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

// Frame 1 as the program starts; frame 2 with every switch off in sphere mode 2, another view and
// every spin a thousand turns on (never wrapped, drawn reduced to one turn); frame 3 paused, the
// same as frame 2. An orbit angle that reaches the float nearest 359.95 is kept, one past it goes
// to 0. The sphere alone, count 4: strips of vertices, the upper one first, from +x toward +z,
// with s and t; count 5 stops short of the north pole; count 30: a vertex exact only with
// float-widened 2 pi and pi / 2 in double arithmetic; a negative radius or count the same.
// Degenerate input: the centre alone.
TEST(Scene, RecordedFramesAndSpheres) {
    OffscreenGl gl;
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    ASSERT_TRUE(init_render_state());
    expect_frame(1, true);
    double* const spins[] = {&sun_spin,     &mercury_spin, &venus_spin,  &earth_spin,
                             &mars_spin,    &jupiter_spin, &saturn_spin, &uranus_spin,
                             &neptune_spin, &pluto_spin};
    for (double* spin : spins) *spin += 360000;
    solid_fill = texturing_on = lighting_on = 0, sphere_mode = 2;
    view_tilt = 0.1f, view_turn = -30.25f, view_scale = -0.2f;
    expect_frame(2, false);
    for (int i = 0; i < 10; ++i) EXPECT_GT(*spins[i], 360000.0) << planets[i].name;
    animating = 0;
    expect_frame(2, false);
    animating = 1;
    earth_orbit = 358.95001220703125, advance_orbits();
    EXPECT_EQ(earth_orbit, 359.95001220703125);
    earth_orbit = std::nextafter(358.95001220703125, 400.0), advance_orbits();
    EXPECT_EQ(earth_orbit, 0.0);
    const auto four = capture(0, 0, 0, 1, 4);
    for (int k = 0; k < 20; ++k) {
        const int band = k / 10, j = k % 10 / 2, edge = band + 1 - k % 2;
        const double lat = (edge - 1) * M_PI / 2, lon = j * M_PI / 2;
        const float x = cos(lat) * cos(lon), y = sin(lat), z = cos(lat) * sin(lon);
        const Vertex expected{x, y, z, -j / 4.0f, 0.5f * edge, x, y, z};
        for (int a = 0; a < 8; ++a)
            EXPECT_NEAR(four.at(band).at(k % 10)[a], expected[a], 1e-6) << k;
    }
    const auto five = capture(0, 0, 0, 1, 5);  // two bands, the upper one up to 54 degrees
    ASSERT_EQ(five.size(), 2u);
    EXPECT_TRUE(std::abs(std::asin(five[1][0][1]) - 0.3 * M_PI) < 1e-6 && five[1][0][4] == 0.8f);
    const auto reference = capture(0.1f, 0.2f, 0.3f, 0.2f, 30);
    EXPECT_EQ(reference[0][6], (Vertex{0x1.587b5ep-3f, -0x1.f4cfc4p-1f, 0x1.f48fcp-4f, -0.1f,
                                       1 / 15.0f, 0x1.11b246p-3f, 0x1.1e6c76p-8f, 0x1.4c3a64p-2f}));
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, -0.2f, 30), reference);
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, 0.2f, -30), reference);
    const Texts centre = {"glBegin(0)", "glVertex3f(1, 2, 3)", "glEnd()"};
    for (auto [radius, count] : {std::pair{1.0f, 3}, {1.0f, -3}, {0.0f, 30}, {NAN, 30}})
        EXPECT_EQ((capture(1, 2, 3, radius, count), calls), centre) << radius << " " << count;
}

const char* const stored_names[texture_count] = {
    "Sun.bmp",   "Mercury.bmp", "Venus.bmp",  "earth.bmp",  "Moon.bmp",
    "Mars.bmp",  "Jupiter.bmp", "Saturn.bmp", "Uranus.bmp", "Neptune.bmp",
    "PLUTO.BMP", "Saturn2.bmp", "Space.bmp"};

// Picture i: 1 + i wide (mostly not a multiple of 4), 2 + i % 3 high, with rows that differ so
// that rows read as padded show.
static std::uint32_t colour_of(int i, int x, int y) {
    return std::uint32_t(19 * i) << 16 | (40 * x + y) % 256 << 8 | 60 * y % 256;
}

static Bytes bound_image() {  // level 0 of the bound texture object, as packed rows
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    Bytes image(std::size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}

// A complete set: objects 1 to 13 with linear filters and their pictures, 13 bound; with the
// picture of index `failed` missing ('m'), not a bitmap ('g') or a directory ('d'): none, object 0
// bound with the lists' linear filters and no picture. List n uploads picture n - 1 into whatever
// is bound, list 12 Space's; a failed picture's list nothing. `boxes`: the texts shown.
static void build_textures(int failed, char how, const Texts& boxes) {
    const bool set = failed < 0;
    ScratchDir dir;
    std::filesystem::current_path(dir.path());
    for (int i = 0; i < texture_count; ++i)
        write_file(stored_names[i],
                   bmp_24(1 + i, 2 + i % 3, [i](int x, int y) { return colour_of(i, x, y); }));
    if (!set) std::filesystem::remove(stored_names[failed]);
    if (how == 'g') write_file(stored_names[failed], {'n', 'o', 't', ' ', 'B'});
    if (how == 'd') std::filesystem::create_directory(stored_names[failed]);
    OffscreenGl gl;
    MessageBoxRecorder recorder;
    load_texture_set();
    build_texture_lists();
    Texts texts;
    for (const RecordedBox& box : recorder.boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, boxes);
    GLint bound = -1, filters[2] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, set ? 13 : 0);
    for (int i = 0; i < texture_count; ++i) {
        Bytes rows;  // picture i as packed rows, bottom row first
        for (int y = 0; y < 2 + i % 3; ++y)
            for (int x = 0; x < 1 + i; ++x)
                for (int shift : {16, 8, 0}) rows.push_back(colour_of(i, x, y) >> shift & 255);
        glBindTexture(GL_TEXTURE_2D, set ? i + 1 : 0);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters[0]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters[1]);
        EXPECT_TRUE(filters[0] == GL_LINEAR && filters[1] == GL_LINEAR) << "texture index " << i;
        EXPECT_EQ(bound_image(), set ? rows : Bytes{}) << "texture index " << i;
        const int list = i < 11 ? i + 1 : i == 12 ? 12 : 0;  // none from the second Saturn
        glBindTexture(GL_TEXTURE_2D, 1000 + i);              // an object never used
        glCallList(list);
        EXPECT_EQ(bound_image(), list == 0 || i == failed ? Bytes{} : rows) << "list " << list;
    }
}
const std::string not_a_bitmap = "Unknown DIB file format.";
TEST(Textures, AllPresentPlutoInCapitals) { build_textures(-1, 0, {}); }
TEST(Textures, SpaceMissing) { build_textures(12, 'm', {"Failed to open DIB file Space.bmp.\n"}); }
TEST(Textures, SunADirectory) { build_textures(0, 'd', {"Failed to open DIB file Sun.bmp.\n"}); }
TEST(Textures, MoonNotABitmap) { build_textures(4, 'g', {not_a_bitmap, not_a_bitmap}); }
