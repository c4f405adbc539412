// Draws the same frames and picks with whichever OpenGL it is linked with, and
// writes them to a folder: each frame as a binary PPM, every pick's hit records
// in picks.txt. Built twice: on Mesa's OpenGL 1.1 and on the subset over Mesa's
// OpenGL ES 2; test_gl11_oracle compares the two folders. Given a step and the
// switches, it draws that one frame instead: the browser tests' reference
// (tests/web/reference/build.sh builds it on Mesa).
//   oracle_frames PICTURES OUTPUT
//   oracle_frames PICTURES OUT.ppm STEPS SPHERE_MODE LIGHTING TEXTURING SOLID [TURN]
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "gl11/oracle_context.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/scene_state.h"
#include "scene/selection_lists.h"

static std::string out;
static std::FILE *picks = nullptr, *checks = nullptr;
static std::vector<unsigned char> last_frame;

static void write_frame(const std::string& path) {
    const std::vector<unsigned char> rgb = last_frame = read_frame();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fprintf(file, "P6\n800 600\n255\n");
    // PPM rows run top down.
    for (int y = 599; y >= 0; --y) std::fwrite(&rgb[y * 800 * 3], 1, 800 * 3, file);
    std::fclose(file);
}

// A click as the program picks: a 2-pixel region around it, the view's
// perspective from the stored aspect ratio, the scene in selection mode.
static void pick(const std::string& label, int x, int y) {
    GLuint buffer[512] = {};
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(512, buffer);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glRenderMode(GL_SELECT);
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, 2.0, 2.0, viewport);
    gluPerspective(field_of_view, aspect_ratio, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    draw_scene_for_selection();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    std::fprintf(picks, "%s %d %d %d", label.c_str(), x, y, hits);
    for (GLint h = 0, at = 0; h < hits; ++h) {
        const GLuint names = buffer[at];
        std::fprintf(picks, " | %u %u %u", names, buffer[at + 1], buffer[at + 2]);
        for (GLuint n = 0; n < names; ++n) std::fprintf(picks, " %u", buffer[at + 3 + n]);
        at += 3 + names;
    }
    std::fprintf(picks, "\n");
}

// Seen from above (tilt 90) at scale 0.6, one unit of the orbit plane is
// 0.6 * 300 / tan(22.5 degrees) / 22 = 19.753 pixels. Each body's centre at its
// starting angle and distance (degrees, units, radius); Pluto's tilted orbit and
// the Moon worked out by hand: 369.6 and 23.2 pixels off the centre, and 3.3935
// units at 8.289 degrees.
static std::vector<std::pair<int, int>> clicks_from_above() {
    const double bodies[][3] = {{0, 0, 0.6},           {200, 1, 0.13}, {4, 2, 0.22},  {7, 3, 0.2},
                                {8.289, 3.3935, 0.07}, {80, 4, 0.16},  {150, 7, 0.3}, {60, 9, 0.25},
                                {300, 11, 0.23},       {20, 14, 0.21}};
    std::vector<std::pair<int, int>> clicks{{770, 277}};
    for (const auto& b : bodies) {
        const double a = b[0] * M_PI / 180, x = 400 + 19.753 * b[1] * std::cos(a);
        const double y = 300 - 19.753 * b[1] * std::sin(a), r = 0.8 * b[2] * 19.753;
        for (auto [dx, dy] : {std::pair{0.0, 0.0}, {r, 0.0}, {-r, 0.0}, {0.0, r}, {0.0, -r}})
            clicks.emplace_back(int(std::lround(x + dx)), int(std::lround(y + dy)));
    }
    // Over Saturn's ring, every 2 pixels 6 pixels each way.
    const int sx = int(std::lround(400 + 19.753 * 9 * 0.5)),
              sy = int(std::lround(300 - 19.753 * 9 * 0.866025));
    for (int i = -3; i <= 3; ++i)
        for (int j = -3; j <= 3; ++j) clicks.emplace_back(sx + 2 * i, sy + 2 * j);
    return clicks;
}

static void open_view() {
    if (!open_context()) {
        std::fprintf(stderr, "no rendering context\n");
        std::exit(1);
    }
    resize_view(800, 600);
    if (!init_render_state()) std::exit(1);
}

// What closing the main window releases of the context's state, and the context.
static void close_view() {
    gluDeleteQuadric(quadric);
    quadric = nullptr;
    forget_selection_lists();
    close_context();
}

static void frame(const std::string& name) {
    draw_scene();
    write_frame(out + "/" + name + ".ppm");
}

// The picture the picks since the last frame leave behind (what a box shows behind it): the frame
// as it was, written as "NAME kept 1" when so.
static void check_frame_kept(const std::string& name) {
    std::fprintf(checks, "%s kept %d\n", name.c_str(), read_frame() == last_frame ? 1 : 0);
}

// The frame drawn again, and the buffers and textures the second drawing uploads.
static void frame_again(const std::string& name, void (*draw)()) {
    draw();
    read_frame();
    const long before = uploads();
    draw();
    write_frame(out + "/" + name + ".ppm");
    std::fprintf(checks, "%s uploads %ld\n", name.c_str(), uploads() - before);
}
// The frame drawn from the lists a pick has made of its shapes.
static void draw_from_lists() { draw_scene_for_selection(); }
static void draw_frame() { draw_scene(); }

// The frame after STEPS drawn frames (each advances the animation once before it draws).
static int one_frame(int argc, char** argv) {
    const std::string file = std::filesystem::absolute(argv[2]).string();
    std::filesystem::current_path(argv[1]);
    open_view();
    sphere_mode = std::atoi(argv[4]);
    lighting_on = std::uint8_t(std::atoi(argv[5])), texturing_on = std::uint8_t(std::atoi(argv[6]));
    solid_fill = std::uint8_t(std::atoi(argv[7]));
    if (argc == 9) view_turn = float(std::atof(argv[8]));
    for (long step = std::atol(argv[3]); step > 1; --step) advance_orbits();
    draw_scene();
    write_frame(file);
    close_view();
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 8 || argc == 9) return (animating = 1, one_frame(argc, argv));
    if (argc != 3) {
        std::fprintf(stderr, "usage: see the top of oracle_frames.cpp\n");
        return 2;
    }
    out = std::filesystem::absolute(argv[2]).string();
    std::filesystem::create_directories(out);
    std::filesystem::current_path(argv[1]);
    picks = std::fopen((out + "/picks.txt").c_str(), "w");
    checks = std::fopen((out + "/checks.txt").c_str(), "w");
    animating = 0;
    open_view();
    const std::string version = context_version();

    frame("mode1");
    pick("mode1", 400, 300);
    check_frame_kept("mode1");
    frame_again("mode1_lists", draw_from_lists);
    sphere_mode = 2;
    frame("mode2");
    pick("mode2", 400, 300);
    frame_again("mode2_lists", draw_from_lists);
    frame_again("mode2_again", draw_frame);
    sphere_mode = 1, lighting_on = 0;
    frame("mode1_unlit");
    lighting_on = 1, texturing_on = 0;
    frame("mode1_untextured");
    texturing_on = 1, solid_fill = 0;
    frame("mode1_outline");
    sphere_mode = 2;
    frame("mode2_outline");
    solid_fill = 1;

    view_tilt = 90.0f, view_scale = 0.6f;
    const std::vector<std::pair<int, int>> clicks = clicks_from_above();
    for (const char* mode : {"1", "2", "1"}) {  // the second "1" after a mode switch
        sphere_mode = mode[0] - '0';
        frame(std::string("above_mode") + mode);
        for (auto [x, y] : clicks) pick(std::string("above_mode") + mode, x, y);
        check_frame_kept(std::string("above_mode") + mode);
    }
    solid_fill = 0;
    for (const char* mode : {"1", "2"}) {
        sphere_mode = mode[0] - '0';
        frame(std::string("above_outline_mode") + mode);
        for (auto [x, y] : clicks) pick(std::string("above_outline_mode") + mode, x, y);
    }

    // Outlined and scaled up ten times, the Sun's faces are many pixels wide: a click inside one,
    // away from its edges, hits nothing.
    view_tilt = 22.5f, view_scale = 10.0f, sphere_mode = 1;
    frame("zoomed_outline");
    for (int y = 20; y < 600; y += 80)
        for (int x = 20; x < 800; x += 80) pick("zoomed_outline", x, y);
    solid_fill = 1;
    frame("zoomed");
    for (int y = 20; y < 600; y += 80)
        for (int x = 20; x < 800; x += 80) pick("zoomed", x, y);
    check_frame_kept("zoomed");

    // A context that replaces the first, as F1 makes one.
    close_view();
    open_view();
    sphere_mode = 1, solid_fill = 1, view_tilt = 22.5f, view_scale = 1.0f;
    frame("mode1_new_context");
    for (int y = 50; y < 600; y += 100)
        for (int x = 50; x < 800; x += 100) pick("grid", x, y);
    // Without pictures (their boxes go to standard error where there is no display): texture
    // objects without images, and texture lists that load nothing, leave the bodies white.
    close_view();
    std::filesystem::create_directories(out + "/no_pictures");
    std::filesystem::current_path(out + "/no_pictures");
    open_view();
    frame("no_pictures_mode1");
    sphere_mode = 2;
    frame("no_pictures_mode2");
    close_view();
    std::fprintf(checks, "version %s\n", version.c_str());
    std::fclose(picks);
    std::fclose(checks);
    return 0;
}
