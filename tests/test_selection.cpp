// The selection pass of a click on an offscreen Mesa context: its hit records are those of the
// frame's own drawing in selection mode, and a run of clicks keeps no memory.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/picking.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER 1
#endif
#endif

// The hit count that the last selection pass ended with, then its records word by word (all 64
// words when they overflowed). Taken by this executable's own glSelectBuffer and glRenderMode,
// which hand each call on to Mesa's.
using Records = std::vector<GLuint>;
static Records records;
static GLuint* selection_buffer = nullptr;
extern "C" void glSelectBuffer(GLsizei size, GLuint* buffer) {
    static auto real = reinterpret_cast<void (*)(GLsizei, GLuint*)>(dlsym(RTLD_NEXT, __func__));
    selection_buffer = buffer, real(size, buffer);
}
extern "C" GLint glRenderMode(GLenum mode) {
    static auto real = reinterpret_cast<GLint (*)(GLenum)>(dlsym(RTLD_NEXT, __func__));
    GLint previous = 0;
    glGetIntegerv(GL_RENDER_MODE, &previous);
    const GLint hits = real(mode);
    if (previous != GL_SELECT) return hits;
    size_t words = 0;
    for (GLint i = 0; i < hits; ++i) words += 3 + selection_buffer[words];
    records.assign(1, GLuint(hits));
    records.insert(records.end(), selection_buffer, selection_buffer + (hits < 0 ? 64 : words));
    return hits;
}

// The frame as the main loop draws it, in selection mode through the click's pick region: 2 by 2
// pixels centred on (x, viewport height - y), the view's 45 degrees from the stored aspect ratio,
// near plane the float 0.1, far 100, a buffer of 64 words.
static Records frame_records(int x, int y) {
    GLuint buffer[64];
    GLint viewport[4];
    glSelectBuffer(64, buffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glRenderMode(GL_SELECT);
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, 2.0, 2.0, viewport);
    gluPerspective(45.0, aspect_ratio, 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    draw_scene();
    glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return records;
}

static double* const angles[] = {
    &sun_spin,     &mercury_orbit, &mercury_spin, &venus_orbit,    &venus_spin,    &earth_orbit,
    &earth_spin,   &moon_orbit,    &mars_orbit,   &mars_spin,      &jupiter_orbit, &jupiter_spin,
    &saturn_orbit, &saturn_spin,   &ring_angle,   &uranus_orbit,   &uranus_spin,   &neptune_orbit,
    &neptune_spin, &pluto_orbit,   &pluto_spin,   &moon_disk_angle};
using Angles = std::array<double, std::size(angles)>;
static Angles angle_values() {
    Angles values;
    for (size_t i = 0; i < values.size(); ++i) values[i] = *angles[i];
    return values;
}

// Clicks at each point and draws the frame in selection mode from the angles the click started
// from: the same records, and the same one step of the animation (none while paused). Returns the
// first name of every first record, 0 for a nameless one.
struct Point {
    double x, y;
};
static std::set<GLuint> expect_picks_like_frame(const std::vector<Point>& points) {
    std::set<GLuint> firsts;
    for (const Point& p : points) {
        const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
        const Angles before = angle_values();
        pick_at(x, y);
        const Records picked = records;
        const Angles after = angle_values();
        for (size_t i = 0; i < before.size(); ++i) *angles[i] = before[i];
        const Records drawn = frame_records(x, y);
        EXPECT_EQ(picked, drawn) << "click at " << x << "," << y << ", sphere mode " << sphere_mode;
        EXPECT_EQ(angle_values(), after) << x << "," << y;
        if (drawn.size() > 1) firsts.insert(drawn[1] == 0 ? 0 : drawn[4]);
    }
    return firsts;
}

// Looked at from above (tilt 90) at scale s, a unit of the orbit plane is s * 300 / tan(22.5) / 22
// pixels (19.753 at 0.6). Each body at its starting orbit angle (Mercury 200, Venus 4, Earth 7,
// Mars 80, Jupiter 150, Saturn 60, Uranus 300, Neptune 20 degrees; the Moon 0.4 beyond Earth at
// 7 + 1 + 10 degrees; Pluto, on its tilted orbit, 369.6 and 23.2 pixels off the centre at 0.6,
// 18.75 units at 3.59 degrees) sampled at its centre and at four points 0.8 of its radius out; a
// square of 2-pixel steps over Saturn's ring.
static std::vector<Point> points_from_above(float scale, int ring_steps) {
    view_tilt = 90.0f, view_turn = 0.0f, view_scale = scale;
    const double unit = scale * 300 / std::tan(22.5 * M_PI / 180) / 22, rad = M_PI / 180;
    struct Place {
        double distance, angle, radius;
    };
    const Place places[] = {{0, 0, 0.6},    {1, 200, 0.13},    {2, 4, 0.22},  {3, 7, 0.2},
                            {4, 80, 0.16},  {7, 150, 0.3},     {9, 60, 0.25}, {11, 300, 0.23},
                            {14, 20, 0.21}, {18.75, 3.59, 0.2}};
    std::vector<Point> points;
    const auto around = [&](double cx, double cy, double radius) {
        const double r = 0.8 * radius * unit;
        for (auto [dx, dy] : {std::pair{0.0, 0.0}, {r, 0.0}, {-r, 0.0}, {0.0, r}, {0.0, -r}})
            points.push_back({400 + cx * unit + dx, 300 - cy * unit + dy});
    };
    for (const Place& p : places)
        around(p.distance * std::cos(p.angle * rad), p.distance * std::sin(p.angle * rad),
               p.radius);
    around(3 * std::cos(7 * rad) + 0.4 * std::cos(18 * rad),
           3 * std::sin(7 * rad) + 0.4 * std::sin(18 * rad), 0.07);
    const double sx = 400 + 9 * std::cos(60 * rad) * unit, sy = 300 - 9 * std::sin(60 * rad) * unit;
    for (int i = -ring_steps; i <= ring_steps; ++i)
        for (int j = -ring_steps; j <= ring_steps; ++j) points.push_back({sx + 2 * i, sy + 2 * j});
    return points;
}

// The starting view (tilt 22.5, scale 1) along the orbit plane's line through the Sun, every
// `step` pixels: bodies in front of and behind each other, and in outline the polygons' edges.
static std::vector<Point> points_along_view(int step) {
    view_tilt = 22.5f, view_turn = 0.0f, view_scale = 1.0f;
    std::vector<Point> points;
    for (int x = 1; x < 800; x += step) points.push_back({double(x), 300});
    return points;
}

// Every click, in both sphere modes, filled and outlined, paused and animated, after a switch of
// modes and in a replacing context, gives the records of the frame's own drawing. The ring shows
// as a nameless first record; every body is hit.
TEST(Selection, EveryPickRecordsWhatTheFrameDraws) {
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    MessageBoxRecorder recorder;
    std::optional<OffscreenGl> gl;
    gl.emplace();
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    animating = 0;
    const std::set<GLuint> all = {0, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110};
    std::set<GLuint> seen = expect_picks_like_frame(points_from_above(0.6f, 6));
    EXPECT_EQ(seen, all);
    expect_picks_like_frame(points_from_above(2.0f, 0));
    expect_picks_like_frame(points_along_view(3));

    sphere_mode = 2;
    seen = expect_picks_like_frame(points_from_above(0.6f, 3));
    EXPECT_EQ(seen, all);
    solid_fill = 0;
    expect_picks_like_frame(points_along_view(12));
    solid_fill = 1;

    sphere_mode = 1;
    expect_picks_like_frame(points_along_view(8));
    const Angles start = angle_values();
    animating = 1;
    expect_picks_like_frame(points_along_view(40));
    animating = 0;
    for (size_t i = 0; i < start.size(); ++i) *angles[i] = start[i];

    // The window re-created, as F1 does: the close, a new context, its render state.
    close_main_window();
    gl.reset();
    gl.emplace();
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    seen = expect_picks_like_frame(points_from_above(0.6f, 3));
    EXPECT_EQ(seen, all);
    sphere_mode = 2;
    expect_picks_like_frame(points_along_view(16));
    close_main_window();
}

static long resident_kb() {
    long kb = -1;
    char line[256];
    FILE* status = std::fopen("/proc/self/status", "r");
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
    if (status != nullptr) std::fclose(status);
    return kb;
}

// Sixty clicks, alternating the sphere modes with the animation running, once each mode has been
// picked in: resident memory grows by less than 2 MB. Mesa 22.3 keeps every vertex a selection
// pass submits in immediate mode, about 1 MB a pick in sphere mode 1 and 7 MB in mode 2.
TEST(Selection, RunOfPicksKeepsMemoryBounded) {
#ifdef UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "AddressSanitizer's allocator holds freed memory back, so resident memory "
                    "does not show what the driver keeps";
#endif
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    MessageBoxRecorder recorder;
    OffscreenGl gl;
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    for (int mode : {1, 2, 1, 2}) sphere_mode = mode, pick_at(400, 300);
    const long before = resident_kb();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 30; ++i)
        for (int mode : {1, 2}) sphere_mode = mode, pick_at(400, 300);
    EXPECT_LT(resident_kb() - before, 2048);
    EXPECT_EQ(recorder.boxes().size(), 64u);  // every click on the Sun showed its box
}
