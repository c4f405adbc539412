// Clicks on the frame, on an offscreen Mesa context: the box of the body under a click, and the
// selection pass's hit records, those of the frame's own drawing in selection mode.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
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

// AddressSanitizer's runtime, where it is linked in.
extern "C" void __asan_init() __attribute__((weak));

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

// Each body seen from above (tilt 90) at scale 0.6, where a unit of the orbit plane is
// 0.6 * 300 / tan(22.5) / 22 = 19.753 pixels: name, distance and angle in the orbit plane,
// radius, and the FNV-1a digest of its box, caption + "\n" + text in UTF-8 (captions 태양 수성
// 금성 지구 화성 목성 토성 천왕성 해왕성 명왕성). Pluto's tilted orbit puts it at 369.6 and 23.2
// pixels off the centre, 18.75 units at 3.59 degrees. The Moon, Earth's name, lies 0.4 beyond
// Earth at 7 + 1 + 10 degrees: 3.3935 units at 8.289 degrees.
struct Body {
    GLuint name;
    double distance, angle, radius;
    std::uint32_t digest;
    double x() const { return 400 + 19.753 * distance * std::cos(angle * M_PI / 180); }
    double y() const { return 300 - 19.753 * distance * std::sin(angle * M_PI / 180); }
};
const Body bodies_from_above[] = {
    {101, 0, 0, 0.6, 0x7db7e293},          {102, 1, 200, 0.13, 0xedab7175},
    {103, 2, 4, 0.22, 0x17af893c},         {104, 3, 7, 0.2, 0xfe31ec1b},
    {105, 4, 80, 0.16, 0x4419230a},        {106, 7, 150, 0.3, 0xb1a74078},
    {107, 9, 60, 0.25, 0xb485b1be},        {108, 11, 300, 0.23, 0xa1084a9b},
    {109, 14, 20, 0.21, 0xf3dd3ccb},       {110, 18.75, 3.59, 0.2, 0xdfbe3e7d},
    {104, 3.3935, 8.289, 0.07, 0xfe31ec1b}};

// The view of an 800x600 window, paused, on the current context.
static void prepare() {
    std::filesystem::current_path(ORRERY_TEXTURE_DIR);
    resize_view(800, 600);
    ASSERT_TRUE(init_render_state());
    animating = 0;
    window_handle = reinterpret_cast<WindowHandle>(&records);  // any address, never used
}

// The records of the frame drawn in selection mode through a click's pick region: 2 by 2 pixels
// centred on (x, 600 - y), 45 degrees from the stored aspect ratio, near plane the float 0.1, far
// 100, a buffer of 64 words.
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

// A click while paused: the projection and the matrix mode are kept, the records are those of the
// frame, and a first record with a body's name, and only that, shows the body's box, an OK box
// owned by the window. Returns that name, 0 for a nameless first record, -1 for none.
static long click(double px, double py, MessageBoxRecorder& recorder) {
    const int x = int(std::lround(px)), y = int(std::lround(py));
    std::array<double, 17> before, after;
    glGetDoublev(GL_PROJECTION_MATRIX, &before[0]), glGetDoublev(GL_MATRIX_MODE, &before[16]);
    recorder.clear();
    pick_at(x, y);
    glGetDoublev(GL_PROJECTION_MATRIX, &after[0]), glGetDoublev(GL_MATRIX_MODE, &after[16]);
    EXPECT_EQ(after, before) << x << "," << y;
    const Records picked = records;
    EXPECT_EQ(picked, frame_records(x, y)) << "click at " << x << "," << y << ", " << sphere_mode;
    const long first = GLint(picked[0]) < 1 ? -1 : picked[1] == 0 ? 0 : long(picked[4]);
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    EXPECT_EQ(boxes.size(), first > 0 ? 1u : 0u) << x << "," << y;
    const auto body = std::find_if(std::begin(bodies_from_above), std::end(bodies_from_above),
                                   [&](const Body& b) { return b.name == first; });
    if (boxes.size() != 1 || body == std::end(bodies_from_above)) return first;
    std::uint32_t digest = 0x811c9dc5;
    for (unsigned char c : boxes[0].caption + "\n" + boxes[0].text)
        digest = (digest ^ c) * 0x01000193;
    EXPECT_EQ(digest, body->digest) << boxes[0].caption << "\n" << boxes[0].text;
    EXPECT_TRUE(boxes[0].owner == window_handle && boxes[0].flags == 0);
    return first;
}

// Clicks from above at scale 0.6 on each body's centre, which names it, and four points 0.8 of
// its radius out, and over Saturn's ring on a square of 2-pixel steps, 2 * `ring` pixels each
// way. Returns the first names of the clicks that hit anything.
static std::set<long> clicks_from_above(int ring, MessageBoxRecorder& recorder) {
    view_tilt = 90.0f, view_turn = 0.0f, view_scale = 0.6f;
    std::set<long> firsts;
    for (const Body& b : bodies_from_above) {
        const double r = 0.8 * b.radius * 19.753;
        EXPECT_EQ(click(b.x(), b.y(), recorder), b.name);
        for (auto [dx, dy] : {std::pair{r, 0.0}, {-r, 0.0}, {0.0, r}, {0.0, -r}})
            firsts.insert(click(b.x() + dx, b.y() + dy, recorder));
    }
    const Body& saturn = bodies_from_above[6];
    for (int i = -ring; i <= ring; ++i)
        for (int j = -ring; j <= ring; ++j)
            firsts.insert(
                click(std::lround(saturn.x()) + 2 * i, std::lround(saturn.y()) + 2 * j, recorder));
    firsts.erase(-1);
    return firsts;
}

// Nothing just beside the Sun; a nameless first record, or one of another name, shows nothing.
// The Sun, drawn first, over nearer Mercury. From above, in both sphere modes, and outlined in a
// context that replaces the first as F1 does, every body is hit and the ring shows as a nameless
// first record. While running, one step per pick.
TEST(Picking, ClicksShowTheFirstRecordsBoxAndRecordWhatTheFrameDraws) {
    MessageBoxRecorder recorder;
    std::optional<OffscreenGl> gl;
    gl.emplace();
    prepare();
    EXPECT_EQ(click(426, 300, recorder), -1);  // the Sun's edge lies 19.7 pixels from the centre
    const GLuint nameless_then_uranus[] = {0, 5, 9, 1, 2, 3, 108}, not_a_body[] = {1, 2, 3, 111};
    show_body_info(nameless_then_uranus);
    show_body_info(not_a_body);
    ASSERT_EQ(recorder.boxes().size(), 0u);
    view_turn = 70.0f;  // Mercury, at 200 + 70 degrees, 1 unit nearer than the Sun
    EXPECT_EQ(click(400, 300, recorder), 101);
    const std::set<long> all = {0, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110};
    EXPECT_EQ(clicks_from_above(6, recorder), all);
    sphere_mode = 2;
    EXPECT_EQ(clicks_from_above(3, recorder), all);
    animating = 1;
    pick_at(400, 300);
    EXPECT_EQ(earth_orbit, 8.0);
    close_main_window();
    gl.reset();
    gl.emplace();
    prepare();
    solid_fill = 0;
    EXPECT_EQ(clicks_from_above(3, recorder), all);
    close_main_window();
}

// Sixty clicks, alternating the sphere modes with the animation running, once each mode has been
// picked in: resident memory grows by less than 2 MB. Mesa 22.3 keeps every vertex a selection
// pass submits in immediate mode, about 1 MB a pick in sphere mode 1 and 7 MB in mode 2.
TEST(Selection, RunOfPicksKeepsMemoryBounded) {
    if (__asan_init != nullptr)
        GTEST_SKIP() << "AddressSanitizer's allocator holds freed memory back, so resident memory "
                        "does not show what the driver keeps";
    MessageBoxRecorder recorder;
    OffscreenGl gl;
    prepare();
    animating = 1;
    const auto resident_kb = [] {
        long kb = -1;
        char line[256];
        FILE* status = std::fopen("/proc/self/status", "r");
        while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
            if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
        if (status != nullptr) std::fclose(status);
        return kb;
    };
    for (int mode : {1, 2, 1, 2}) sphere_mode = mode, pick_at(400, 300);
    const long before = resident_kb();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 60; ++i) sphere_mode = 1 + i % 2, pick_at(400, 300);
    EXPECT_LT(resident_kb() - before, 2048);
    EXPECT_EQ(recorder.boxes().size(), 64u);  // every click on the Sun showed its box
}
