// The scene, its textures, clicks and pictures read, on Mesa's offscreen context; a process a test.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "gl11/oracle_context.h"
#include "image/bitmap_decode.h"
#include "image/bitmap_reader.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/picking.h"
#include "scene/sphere.h"
#include "support/bitmap_writer.h"
#include "support/x11_harness.h"
struct OffscreenGl {  // OSMesa's 800 x 600 context, current while it lives
    OffscreenGl() { EXPECT_TRUE(open_context()); }
    ~OffscreenGl() { close_context(); }
};
extern "C" void __asan_init() __attribute__((weak));  // set under AddressSanitizer
// A call as text, every number to 17 digits; the program's quadric shows as 1.
struct Number {
    template <class T>
    Number(T v) : value(double(v)) {}
    Number(GLUquadric* q) : value(q == quadric) {}
    double value;
};
using Args = std::initializer_list<Number>;
static std::string call(const char* name, Args args) {
    std::ostringstream text;
    text.precision(17);
    text << name << '(';
    for (const Number& arg : args) text << (&arg == args.begin() ? "" : ", ") << arg.value;
    return text.str() + ")";
}
// Entry points that record each call (unless GLU made it or `not_recording` is up) and pass it on.
static Texts calls;
static int not_recording = 0;
#define RECORDED(name, params, ...)                                                   \
    extern "C" void name params {                                                     \
        static auto real = reinterpret_cast<void(*) params>(dlsym(RTLD_NEXT, #name)); \
        if (not_recording == 0) calls.push_back(call(#name, {__VA_ARGS__}));          \
        ++not_recording, real(__VA_ARGS__), --not_recording;                          \
    }                                                                                 \
    static_assert(true)  // a use ends with a semicolon
// By signature (GLenum and GLbitfield are GLuint).
#define RECORDED_NONE(name) RECORDED(name, ())
#define RECORDED_UINT(name) RECORDED(name, (GLuint a), a)
#define RECORDED_3F(name) RECORDED(name, (GLfloat a, GLfloat b, GLfloat c), a, b, c)
// clang-format off
RECORDED_NONE(glLoadIdentity); RECORDED_NONE(glInitNames); RECORDED_NONE(glPopName);
RECORDED_NONE(glPushMatrix); RECORDED_NONE(glPopMatrix); RECORDED_NONE(glEnd);
RECORDED_UINT(glClear); RECORDED_UINT(glEnable); RECORDED_UINT(glDisable); RECORDED_UINT(glBegin);
RECORDED_UINT(glPushName); RECORDED_UINT(glCallList);
RECORDED_3F(glTranslatef); RECORDED_3F(glScalef); RECORDED_3F(glColor3f); RECORDED_3F(glNormal3f);
RECORDED_3F(glVertex3f); RECORDED(glTexCoord2f, (GLfloat s, GLfloat t), s, t);
RECORDED(glPolygonMode, (GLenum face, GLenum mode), face, mode);
RECORDED(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), a, x, y, z);
RECORDED(glColor3ub, (GLubyte r, GLubyte g, GLubyte b), r, g, b);
RECORDED(glBindTexture, (GLenum target, GLuint name), target, name);
RECORDED(gluQuadricTexture, (GLUquadric* q, GLboolean on), q, on);
RECORDED(gluSphere, (GLUquadric* q, GLdouble r, GLint slices, GLint stacks), q, r, slices, stacks);
RECORDED(gluDisk, (GLUquadric* q, GLdouble in, GLdouble out, GLint s, GLint l), q, in, out, s, l);
// clang-format on
// The record, a call a line; a run of triangle strips as "sphere(radius, count, strips)".
static std::string frame_text() {
    std::string text;
    for (size_t at = 0, end = 0, strips = 0, vertices = 0; at < calls.size(); at = end) {
        for (strips = vertices = 0; end < calls.size() && calls[end] == "glBegin(5)"; ++end)
            for (++strips; ++end < calls.size() && calls[end] != "glEnd()";)
                vertices += calls[end][2] == 'V';
        float y = 0;
        if (strips > 0 && std::sscanf(calls.at(at + 6).c_str(), "glVertex3f(%*f, %f", &y) == 1)
            text += call("sphere", {-y, vertices / strips / 2 - 1, strips}) + "\n";
        else
            text += calls.at(end++) + "\n";
    }
    return text;
}
// Name, orbit and spin start and step (0: no orbit), orbit axis x, distance, radius, list/texture,
// segments, spin angle, FNV-1a of the box's caption "\n" text; the Moon in Earth's frame.
struct Planet {
    unsigned name;
    double orbit, orbit_step, spin, spin_step;
    float axis_x, distance, radius;
    int list, count;
    double* spin_angle;
    std::uint32_t digest;
};
const Planet planets[] = {
    {101, 0, 0, 0.68, 0.68, 0, 0, 0.6, 1, 100, &sun_spin, 0x7db7e293},
    {102, 200, 1.8, 58.6, 58.6, 0, 1, 0.13, 2, 100, &mercury_spin, 0xedab7175},
    {103, 4, 1.4, -243, 243.01, 0, 2, 0.22, 3, 30, &venus_spin, 0x17af893c},
    {104, 7, 1.0, 1, 1.0, 0, 3, 0.2, 4, 30, &earth_spin, 0xfe31ec1b},
    {105, 80, 1.35, 1, 1.1, 0, 4, 0.16, 6, 30, &mars_spin, 0x4419230a},
    {106, 150, 1.3, 0.41, 0.41, 0, 7, 0.3, 7, 30, &jupiter_spin, 0xb1a74078},
    {107, 60, 1.2, 0.44, 1.44, 0, 9, 0.25, 8, 30, &saturn_spin, 0xb485b1be},
    {108, 300, 1.1, 0.71, 0.71, 0, 11, 0.23, 9, 30, &uranus_spin, 0xa1084a9b},
    {109, 20, 0.9, 0.67, 0.67, 0, 14, 0.21, 10, 30, &neptune_spin, 0xf3dd3ccb},
    {110, 110, 0.8, 6.3, 6.3, 15, 18, 0.2, 11, 30, &pluto_spin, 0xdfbe3e7d}};
const Planet moon = {104, 10, 1.5, 0, 0, 0, 0.4, 0.07, 5, 30, nullptr, 0xfe31ec1b};
// The angle k advances on, a step added at a time.
static float angle(double a, double step, int k) { return k ? angle(a + step, step, k - 1) : a; }
// Frame k: `start`, mode 1, switches on, the first view; else mode 2, switches off, another view.
static void expect_frame(int k, bool start) {
    std::string f;
    const auto add = [&](const char* name, Args args) { f += call(name, args) + "\n"; };
    const auto place_and_draw = [&](const Planet& p) {
        if (p.orbit_step) add("glRotatef", {angle(p.orbit, p.orbit_step, k), p.axis_x, 1.0f, 0.0f});
        if (p.orbit_step) add("glTranslatef", {p.distance, 0.0f, 0.0f});
        if (p.spin_step) add("glRotatef", {angle(p.spin, p.spin_step, k), 0.0f, 1.0f, 0.0f});
        if (start) add("glBindTexture", {GL_TEXTURE_2D, p.list});
        if (start) return add("sphere", {double(p.radius), p.count, p.count / 2});
        add("glCallList", {p.list}), add("gluQuadricTexture", {quadric, GL_TRUE});
        add("gluSphere", {quadric, double(p.radius), 100, 100});
    };
    const auto disk = [&](double at, double by, float x, float z, int tilt, double in, double out) {
        add("glPushMatrix", {}), add("glColor3ub", {255, 255, 255});
        if (by) add("glRotatef", {angle(at, by, k), 0.0f, 1.0f, 0.0f});
        if (by) add("glTranslatef", {x, 0.0f, z});
        add("glRotatef", {tilt, 1.0f, 0.0f, 0.0f});
        add("gluDisk", {quadric, in, out, 100, 1}), add("glPopMatrix", {});
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
        add("glPushName", {p.name}), add("glPushMatrix", {});
        if (p.name > 102) add("glColor3f", {1.0f, 1.0f, 1.0f});  // not the Sun, not Mercury
        place_and_draw(p);
        if (p.name == 104) place_and_draw(moon);
        add("glPopMatrix", {}), add("glPopName", {});
        if (p.name == 104) disk(10, 1.0, 3, 0.1f, 90, 0.4, 0);  // the Moon's orbit
        if (p.orbit_step) disk(0, 0, 0, 0, 90, p.distance, 0);
        if (p.name == 107) disk(60, 1.2, 9, 0, 45, 0.29, 0.5);  // Saturn's ring
    }
    add("glPopMatrix", {});
    calls.clear();
    ASSERT_TRUE(draw_scene());
    EXPECT_EQ(frame_text(), f);  // shown as a diff
}
using Vertex = std::array<float, 8>;  // normal, texture coordinate, position
static std::vector<std::vector<Vertex>> capture(float x, float y, float z, float radius, int n) {
    calls.clear(), draw_uv_sphere(x, y, z, radius, n);
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
// Frame 1 at start; frame 2 switched, spins 1000 turns on (drawn within one); a million frames on,
// every angle within a turn. Spheres: count 4 from +x toward +z with s and t; degenerate: a point.
TEST(Scene, RecordedFramesAndSpheres) {
    OffscreenGl gl;
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    ASSERT_TRUE(init_render_state());
    expect_frame(1, true);
    for (const Planet& p : planets) *p.spin_angle += 360000;
    solid_fill = texturing_on = lighting_on = 0, sphere_mode = 2;
    view_tilt = 0.1f, view_turn = -30.25f, view_scale = -0.2f;
    expect_frame(2, false);
    for (int i = 0; i < 1000000; ++i) advance_orbits();
    calls.clear(), draw_scene();
    float a = 0;
    for (const std::string& c : calls)
        EXPECT_LT(std::sscanf(c.c_str(), "glRotatef(%f", &a) == 1 ? std::abs(a) : 0, 360) << c;
    const auto four = capture(0, 0, 0, 1, 4);
    for (int k = 0; k < 20; ++k) {
        const int band = k / 10, j = k % 10 / 2, edge = band + 1 - k % 2;
        const double lat = (edge - 1) * M_PI / 2, lon = j * M_PI / 2;
        const float x = cos(lat) * cos(lon), y = sin(lat), z = cos(lat) * sin(lon);
        const Vertex expected{x, y, z, -j / 4.0f, 0.5f * edge, x, y, z};
        for (int a = 0; a < 8; ++a)
            EXPECT_NEAR(four.at(band).at(k % 10)[a], expected[a], 1e-6) << k;
    }
    const Texts centre = {"glBegin(0)", "glVertex3f(1, 2, 3)", "glEnd()"};
    for (auto [radius, count] : {std::pair{1.0f, 3}, {1.0f, -3}, {0.0f, 30}, {NAN, 30}})
        EXPECT_EQ((capture(1, 2, 3, radius, count), calls), centre) << radius << " " << count;
}
const char* const stored_names[texture_count] = {
    "Sun.bmp",   "Mercury.bmp", "Venus.bmp",  "earth.bmp",  "Moon.bmp",
    "Mars.bmp",  "Jupiter.bmp", "Saturn.bmp", "Uranus.bmp", "Neptune.bmp",
    "PLUTO.BMP", "Saturn2.bmp", "Space.bmp"};
// Picture i: 1 + i wide (mostly not a multiple of 4), 2 + i % 3 high, rows unlike each other.
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
// All present: objects 1 to 13, linear filters, 13 bound; `failed` missing ('m') or a directory
// ('d'): object 0 bound, no pictures. List n uploads picture n - 1 into what is bound, list 12
// Space's. Of names alike but for case, the exact or else the least in byte order is read.
static void build_textures(int failed, char how, const Texts& boxes) {
    const bool set = failed < 0;
    ScratchDir dir;
    std::filesystem::current_path(dir.path);
    for (int i = 0; i < texture_count; ++i)
        write_file(stored_names[i],
                   bmp_24(1 + i, 2 + i % 3, [i](int x, int y) { return colour_of(i, x, y); }));
    for (const char* decoy : {"SUN.bmp", "pluto.BMP"})
        write_file(decoy, bmp_24(1, 1, [](int, int) { return ~0u; }));
    if (!set) std::filesystem::remove(stored_names[failed]);
    if (how == 'd') std::filesystem::create_directory(stored_names[failed]);
    OffscreenGl gl;
    MessageBoxRecorder recorder;
    load_texture_set(), build_texture_lists();
    Texts texts;
    for (const RecordedBox& box : recorder.boxes) texts.push_back(box.text);
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
        const int list = i < 11 ? i + 1 : i == 12 ? 12 : 0;        // none from the second Saturn
        glBindTexture(GL_TEXTURE_2D, 1000 + i), glCallList(list);  // into an object never used
        EXPECT_EQ(bound_image(), list == 0 || i == failed ? Bytes{} : rows) << "list " << list;
    }
}
const std::string not_a_bitmap = "Unknown DIB file format.";
TEST(Textures, AllPresentPlutoInCapitals) { build_textures(-1, 0, {}); }
TEST(Textures, SpaceMissing) { build_textures(12, 'm', {"Failed to open DIB file Space.bmp.\n"}); }
TEST(Textures, SunADirectory) { build_textures(0, 'd', {"Failed to open DIB file Sun.bmp.\n"}); }
// The last selection pass's hit count and records (64 words on overflow), taken on the way to Mesa.
static std::vector<GLuint> records;
extern "C" GLint glRenderMode(GLenum mode) {
    static auto real = reinterpret_cast<GLint (*)(GLenum)>(dlsym(RTLD_NEXT, __func__));
    GLuint* buffer = nullptr;
    glGetPointerv(GL_SELECTION_BUFFER_POINTER, reinterpret_cast<void**>(&buffer));
    const GLint hits = real(mode);
    if (mode == GL_SELECT) return hits;
    size_t words = 0;
    for (GLint i = 0; i < hits; ++i) words += 3 + buffer[words];
    records.assign(1, GLuint(hits));
    records.insert(records.end(), buffer, buffer + (hits < 0 ? 64 : words));
    return hits;
}
// A body from above (tilt 90) at scale 0.6, a unit 0.6 * 300 / tan(22.5) / 22 = 19.753 pixels:
// Pluto on its tilted orbit 369.6 and 23.2 pixels off; the Moon 0.4 past Earth at 7 + 1 + 10
// degrees, 3.3935 units at 8.289 degrees.
static std::pair<double, double> from_above(const Planet& p) {
    if (p.name == 110) return {769.6, 276.8};
    const bool m = &p == &moon;
    const double d = 19.753 * (m ? 3.3935 : p.distance), a = (m ? 8.289 : p.orbit) * M_PI / 180;
    return {400 + d * std::cos(a), 300 - d * std::sin(a)};
}
static void prepare() {  // the view of an 800x600 window, paused, on the current context
    not_recording = 1;
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    animating = 0;
    window_handle = reinterpret_cast<WindowHandle>(&records);  // any address, never used
}
// A paused click keeps projection and matrix mode; its records are the frame's through a 2-pixel
// pick region; a named first record alone shows the body's OK box, owned by the window. Returns the
// name, 0 for a nameless first record, -1 for none.
static long click(double px, double py, MessageBoxRecorder& recorder) {
    const int x = int(std::lround(px)), y = int(std::lround(py));
    std::array<double, 17> before, after;
    glGetDoublev(GL_PROJECTION_MATRIX, &before[0]), glGetDoublev(GL_MATRIX_MODE, &before[16]);
    recorder.clear(), pick_at(x, y);
    glGetDoublev(GL_PROJECTION_MATRIX, &after[0]), glGetDoublev(GL_MATRIX_MODE, &after[16]);
    EXPECT_EQ(after, before) << x << "," << y;
    const auto picked = records;
    GLuint buffer[64];
    glSelectBuffer(64, buffer), glRenderMode(GL_SELECT), glMatrixMode(GL_PROJECTION);
    glLoadIdentity(), gluPickMatrix(x, 600 - y, 2.0, 2.0, std::array{0, 0, 800, 600}.data());
    gluPerspective(45.0, aspect_ratio, 0.1f, 100.0), glMatrixMode(GL_MODELVIEW);
    draw_scene(), glRenderMode(GL_RENDER);  // the scene starts from the identity
    resize_view(800, 600);                  // the view's projection again
    EXPECT_EQ(picked, records) << "click at " << x << "," << y << ", mode " << sphere_mode;
    const long first = GLint(picked[0]) < 1 ? -1 : picked[1] == 0 ? 0 : long(picked[4]);
    const std::vector<RecordedBox>& boxes = recorder.boxes;
    EXPECT_EQ(boxes.size(), first > 0 ? 1u : 0u) << x << "," << y;
    if (boxes.size() != 1 || first < 101 || first > 110) return first;
    std::uint32_t digest = 0x811c9dc5;
    for (unsigned char c : boxes[0].caption + "\n" + boxes[0].text)
        digest = (digest ^ c) * 0x01000193;
    EXPECT_EQ(digest, planets[first - 101].digest) << boxes[0].caption << "\n" << boxes[0].text;
    EXPECT_TRUE(boxes[0].owner == window_handle && boxes[0].flags == 0);
    return first;
}
// Clicks from above on each body's centre (naming it) and 0.8 of its radius out, and on a square of
// 2-pixel steps 2 * `ring` each way over Saturn; returns the nameless first records there.
static int clicks_from_above(int ring, MessageBoxRecorder& recorder) {
    view_tilt = 90.0f, view_turn = 0.0f, view_scale = 0.6f;
    const auto around = [&](const Planet& p) {
        const auto [x, y] = from_above(p);
        const double r = 0.8 * p.radius * 19.753;
        EXPECT_EQ(click(x, y, recorder), p.name);
        for (auto [dx, dy] : {std::pair{r, 0.0}, {-r, 0.0}, {0.0, r}, {0.0, -r}})
            click(x + dx, y + dy, recorder);
    };
    for (const Planet& p : planets) around(p);
    around(moon);
    const auto [sx, sy] = from_above(planets[6]);  // Saturn
    int nameless = 0;
    for (int i = -ring; i <= ring; ++i)
        for (int j = -ring; j <= ring; ++j)
            nameless += click(std::lround(sx) + 2 * i, std::lround(sy) + 2 * j, recorder) == 0;
    return nameless;
}
// Nothing beside the Sun; a nameless or unknown first record shows nothing; the Sun, drawn first,
// over nearer Mercury. From above in both modes, and outlined in a context replaced as by F1, every
// body named, the ring nameless. Running, a step per pick. Sixty picks add under 2 MB (Mesa keeps
// what a pass submits in immediate mode, 1 MB a pick; unmeasured under AddressSanitizer).
static long peak_resident_kb(rusage u = {}) { return getrusage(RUSAGE_SELF, &u), u.ru_maxrss; }
TEST(Picking, ClicksShowTheFirstRecordsBoxAndRecordWhatTheFrameDraws) {
    MessageBoxRecorder recorder;
    std::optional<OffscreenGl> gl(std::in_place);
    prepare();
    EXPECT_EQ(click(426, 300, recorder), -1);  // the Sun's edge lies 19.7 pixels from the centre
    const GLuint nameless_then_uranus[] = {0, 5, 9, 1, 2, 3, 108}, not_a_body[] = {1, 2, 3, 111};
    for (const GLuint* buffer : {nameless_then_uranus, not_a_body}) show_body_info(buffer);
    ASSERT_EQ(recorder.boxes.size(), 0u);
    view_turn = 70.0f;  // Mercury, at 200 + 70 degrees, 1 unit nearer than the Sun
    EXPECT_EQ(click(400, 300, recorder), 101);
    EXPECT_GT(clicks_from_above(6, recorder), 0);
    sphere_mode = 2;
    EXPECT_GT(clicks_from_above(3, recorder), 0);
    animating = 1, pick_at(400, 300);
    EXPECT_EQ(earth_orbit, 8.0);
    animating = 0, recorder.clear();
    const long before = peak_resident_kb();
    for (int i = 0; i < 60; ++i) sphere_mode = 1 + i % 2, pick_at(400, 300);
    EXPECT_TRUE(__asan_init != nullptr || peak_resident_kb() - before < 2048) << before;
    EXPECT_EQ(recorder.boxes.size(), 60u);  // every click on the Sun showed its box
    close_main_window(), gl.emplace();      // the first context gone before the next is made
    prepare(), solid_fill = 0;
    EXPECT_GT(clicks_from_above(3, recorder), 0);
    close_main_window();
}
const std::string conversion = "Image file conversion error.";
// Decodes `file`: width, height and 0xRRGGBB pixels from the bottom row, against `colour`.
static void expect_picture(const Bytes& file, int width, int height, const PixelValue& colour) {
    std::vector<std::uint32_t> expected{std::uint32_t(width), std::uint32_t(height)}, got;
    for (int i = 0; i < width * height; ++i) expected.push_back(colour(i % width, i / width));
    if (RgbImage* image = decode_bitmap_image(file.data(), file.size())) {
        got = {std::uint32_t(image->width), std::uint32_t(image->height)};
        const std::uint8_t* p = image->pixels;
        for (int i = 0; i < image->width * image->height * 3; i += 3)
            got.push_back(p[i] << 16 | p[i + 1] << 8 | p[i + 2]);
        std::free(image->pixels), std::free(image);
    }
    EXPECT_EQ(got, expected);
}
// Colour-table entry i: distinct for every 8-bit index and in every channel.
static std::uint32_t palette(std::uint32_t i) { return i * 0x010307u & 0xFFFFFF; }
// Masks red, green, blue (stored for compression 3); colours_used 16: a table before the pixels.
struct Format {
    int bits;
    std::uint32_t compression, masks[3], colours_used;
};
// clang-format off
const Format formats[] = {
    {1, 0, {}, 0}, {4, 0, {}, 0}, {8, 0, {}, 0}, {24, 0, {0xFF0000, 0xFF00, 0xFF}, 0},
    {24, 0, {0xFF0000, 0xFF00, 0xFF}, 16}, {16, 0, {0x7C00, 0x03E0, 0x001F}, 0},
    {32, 0, {0xFF0000, 0xFF00, 0xFF}, 0}, {16, 3, {0xF800, 0x07E0, 0x001F}, 0},
    {32, 3, {0x3FF00000, 0x000FFC00, 0x3FF}, 0}, {32, 3, {0xFF0000, 0xFF00, 0xFF}, 0},
    {32, 3, {0xFF, 0xFF00, 0xFF0000}, 0}};
// clang-format on
// Varied values, unused bits of 16- and 32-bit pixels set too.
static std::uint32_t stored_value(const Format& format, int x, int y) {
    const std::uint32_t hash = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y + 1) * 40503u;
    return format.bits == 32 ? hash : hash % (1u << format.bits);
}
// A table entry, or each channel widened (repeating its top bits) or cut to 8 bits.
static std::uint32_t expected_colour(const Format& format, std::uint32_t value) {
    if (format.bits <= 8) return palette(value);
    std::uint32_t rgb = 0;
    for (std::uint32_t mask : format.masks) {
        const unsigned v = (value & mask) >> __builtin_ctz(mask), bits = __builtin_popcount(mask);
        rgb = rgb << 8 | (bits >= 8 ? v >> (bits - 8) : v << (8 - bits) | v >> (2 * bits - 8));
    }
    return rgb;
}
// 13 x 3, so that every format's rows need padding.
static Bytes format_file(const Format& format, bool core, bool file_header, bool top_down) {
    Bytes tables, header = info_header(13, top_down ? -3 : 3, format.bits, format.compression,
                                       format.colours_used);
    if (core) header = {12, 0, 0, 0, 13, 0, 3, 0, 1, 0, std::uint8_t(format.bits), 0};
    if (format.compression == 3)
        append_le(&tables, {format.masks[0], format.masks[1], format.masks[2]});
    const int entries = format.bits <= 8 ? 1 << format.bits : format.colours_used;
    for (int i = 0; i < entries; ++i) append_le(&tables, {palette(i)}, core ? 3 : 4);
    return assemble_bitmap(file_header, header, tables, 13, 3, format.bits, [&](int x, int row) {
        return stored_value(format, x, top_down ? 2 - row : row);
    });
}
// A 4-entry table and the run-length `stream` as is.
static Bytes rle_file(bool four_bit, const Bytes& stream, bool file_header, int width, int height) {
    Bytes table;
    append_le(&table, {palette(1), palette(2), palette(3), palette(4)});
    return assemble_bitmap(file_header,
                           info_header(width, height, four_bit ? 4 : 8, four_bit ? 2 : 1, 4), table,
                           int(stream.size()), 1, 8, [&](int x, int) { return stream[x]; });
}
// The 8- and 4-bit streams, with and without file header, both ways up, give `rows` (from the
// bottom): index i is entry i + 1, "r" 1 in 8 bits and 2 in 4, "." black.
static void expect_runs(const Bytes& rle8, const Bytes& rle4, const Texts& rows) {
    const int width = int(rows[0].size()), height = int(rows.size());
    for (int variant = 0; variant < 6; ++variant) {
        const bool four_bit = variant & 1, file_header = variant / 2 != 1, top_down = variant >= 4;
        SCOPED_TRACE(testing::Message() << "run lengths, " << variant);
        const Bytes file = rle_file(four_bit, four_bit ? rle4 : rle8, file_header, width,
                                    top_down ? -height : height);
        expect_picture(file, width, height, [&](int x, int y) {
            const char c = rows[top_down ? height - 1 - y : y][x];
            return c == '.' ? 0 : palette(c == 'r' ? 2 + four_bit : c - '0' + 1);
        });
    }
}
// Every format in both header kinds, and run lengths, give their colours and no box. Bad files: no
// image, one "Error" box with its text. A long path is cut to 256 - 24 ("Failed to open DIB file ")
// - 2 (".\n") - 1 (NUL) = 229 bytes, 228 where that would split a Hangul character.
TEST(BitmapReader, GoodFilesGiveTheirColoursAndBadFilesOneBoxWithTheirText) {
    MessageBoxRecorder boxes;
    for (const Format& format : formats)
        for (int variant = 0; variant < 8; ++variant) {
            const bool core = variant & 1, file_header = variant & 2, top_down = variant & 4;
            if (core && (format.compression || format.colours_used || top_down)) continue;
            SCOPED_TRACE(testing::Message() << "format " << &format - formats << ", " << variant);
            expect_picture(
                format_file(format, core, file_header, top_down), 13, 3,
                [&](int x, int y) { return expected_colour(format, stored_value(format, x, y)); });
        }
    // Rows: ended early; left by a delta; index 9 past the table; an odd literal, then the end.
    expect_runs({3, 1, 0, 3, 2, 3, 0, 0, 0, 0, 2, 2, 0, 2, 1, 1,
                 1, 9, 2, 3, 0, 0, 0, 5, 0, 1, 2, 3, 0, 0, 0, 1},
                {3, 0x12, 0, 3,    0x23, 0, 0, 0, 2,    0x22, 0, 2, 1, 1,
                 1, 0x93, 2, 0x33, 0,    0, 0, 5, 0x01, 0x23, 0, 0, 0, 1},
                {"1r1230", "22....", "....33", "01230."});
    // 5-pixel rows written out to 8 pixels, as some writers do: the rest of each run dropped.
    // clang-format off
    expect_runs({8, 0,                            0, 0,    // 8 of index 0
                 0, 8, 1, 2, 3, 0, 1, 2, 3, 0,    0, 0,    // absolute 1 2 3 0 1 | 2 3 0
                 3, 2, 5, 3,                      0, 0,    // 3 of 2, 5 of 3 across the end
                 5, 1, 3, 0,                      0, 1},   // 5 of 1, 3 of 0 wholly past it
                {8, 0x00,                         0, 0,
                 0, 8, 0x12, 0x30, 0x12, 0x30,    0, 0,
                 3, 0x22, 5, 0x33,                0, 0,
                 5, 0x11, 3, 0x00,                0, 1},
                {"00000", "12301", "22233", "11111"});
    // clang-format on
    // Maps of 2048 x 1024, and pictures as tall, read whole.
    const auto hash = [](int x, int y) { return std::uint32_t(x * 40503 ^ y * 2654435761u) >> 8; };
    for (auto [width, height] : {std::pair{2048, 1024}, {3, 2048}})
        expect_picture(bmp_24(width, height, hash), width, height, hash);
    EXPECT_TRUE(boxes.boxes.empty());
    const auto expect_failure = [&](bool no_image, const std::string& text) {
        EXPECT_TRUE(no_image);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text + " | " + boxes.boxes[0].caption, text + " | Error");
        boxes.clear();
    };
    const ScratchDir dir;
    write_file(dir.path + "/empty.bmp", {});
    // A FIFO without a writer, which an open would wait on for ever.
    ASSERT_EQ(mkfifo((dir.path + "/fifo.bmp").c_str(), 0600), 0);
    std::string hangul = "/missing/";  // 9 bytes, 73 whole characters, 1 byte of the 74th
    for (int i = 0; i < 100; ++i) hangul += "가";
    for (const std::string& path :
         {dir.path + "/missing.bmp", dir.path + "/empty.bmp", dir.path, dir.path + "/fifo.bmp",
          "/missing/" + std::string(300, 'a'), hangul})
        expect_failure(read_bitmap_image(path.c_str()) == nullptr,
                       "Failed to open DIB file " + path.substr(0, 229 - (path == hangul)) + ".\n");
    const auto header_only = [](int width, int height, unsigned compression, unsigned size = 40) {
        return assemble_bitmap(true, info_header(width, height, 24, compression, 0, size), {}, 1024,
                               1, 32, [](int, int) { return 0u; });
    };
    const Bytes fields = format_file(formats[7], false, true, false),
                scattered = format_file({32, 3, {0xF0F00000, 0xFF00, 0xFF}, 0}, false, true, false);
    Bytes offset_past_end = bmp_24(1, 1, [](int, int) { return 0u; });
    offset_past_end[10] = 59;
    const std::pair<Bytes, std::string> cases[] = {
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'},
         not_a_bitmap},
        {header_only(1, 1, 0, 108), not_a_bitmap},
        {Bytes(fields.begin(), fields.begin() + 14 + 40 + 11), not_a_bitmap},
        {Bytes(fields.begin(), fields.end() - 1), conversion},
        {scattered, conversion},  // a mask whose bits are not one run
        {offset_past_end, conversion},
        {header_only(-5, 1, 0), conversion},
        {header_only(1, 1, 1), conversion},
        // Run lengths: no end mark; a literal past the end; a run below a 1-row picture.
        {rle_file(false, {2, 1, 0, 0}, true, 6, 4), conversion},
        {rle_file(false, {0, 6, 1, 2}, true, 6, 4), conversion},
        {rle_file(false, {1, 1, 0, 0, 1, 1, 0, 1}, true, 6, 1), conversion},
        {header_only(1, INT32_MIN, 0), "Out of memory."}};
    for (const auto& [file, text] : cases) {
        SCOPED_TRACE(&file - &cases[0].first);
        expect_failure(decode_bitmap_image(file.data(), file.size()) == nullptr, text);
    }
}
