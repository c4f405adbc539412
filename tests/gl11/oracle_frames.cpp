// Draws the application's frames and picks with the OpenGL it is linked with (Mesa's own 1.1, or
// the subset over Mesa's ES 2) into OUTPUT (PPMs, and the hit records in picks.txt), compared as
// it goes with REFERENCE, another run's; with "webp", from the page's pictures against the BMPs'.
// Given a step and the switches, one frame: the browser tests' reference (tests/web/reference).
//   oracle_frames PICTURES OUTPUT [REFERENCE [webp]]
//   oracle_frames PICTURES OUT.ppm STEPS SPHERE_MODE LIGHTING TEXTURING SOLID [TURN]
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "oracle_context.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/scene_state.h"
#include "scene/selection_lists.h"

static std::string out, reference;  // the folders written and compared with
static bool webp = false;           // drawn from the page's pictures, REFERENCE from the BMPs
static std::ofstream picks;
static std::ifstream reference_picks;
static std::vector<unsigned char> last_frame;                     // the bottom row first
static std::map<std::string, std::vector<unsigned char>> frames;  // by name, the top row first
static int failures = 0, picks_made = 0, named_hits = 0, nameless_hits = 0;
static void check(bool ok, const std::string& what) {
    if (!ok) std::fprintf(stderr, "FAILED: %s\n", what.c_str()), ++failures;
}
static std::vector<unsigned char> write_frame(const std::string& path) {
    last_frame = read_frame();
    std::vector<unsigned char> rows;  // PPM rows run top down
    for (int y = 599; y >= 0; --y)
        rows.insert(rows.end(), &last_frame[y * 800 * 3], &last_frame[(y + 1) * 800 * 3]);
    std::ofstream(path, std::ios::binary) << "P6\n800 600\n255\n"
                                          << std::string(rows.begin(), rows.end());
    return rows;
}
// Mostly black space: beside the whole frame (99.5% of the pixels within 8 levels a channel), the
// pixels the scene covers in either frame are counted on their own. Filled, the subset and Mesa
// compute every value from the same vertices in single precision. Outlined, Mesa's polygon stage
// and the subset's ES 2 lines may draw crossing edges in another order: 1.6% of the covered pixels
// of the second sphere mode differed by more than 8 levels. The page's WebP pictures (quality 80,
// lossy): 99.99% of all pixels within 8 levels of the frames from the BMPs; of the covered ones,
// where tiny bodies show a texel a pixel, 97.8% (99.96% scaled up ten times). All Mesa 22.3.
static void compare_frame(const std::string& name, const std::vector<unsigned char>& b) {
    std::ifstream file(reference + "/" + name + ".ppm", std::ios::binary);
    std::vector<unsigned char> a(b.size());
    file.ignore(15).read(reinterpret_cast<char*>(a.data()), std::streamsize(a.size()));
    long close = 0, covered = 0, covered_close = 0, covered_same = 0;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int d = 0;
        for (int k = 0; k < 3; ++k) d = std::max(d, std::abs(a[i + k] - b[i + k]));
        const bool lit = a[i] + a[i + 1] + a[i + 2] + b[i] + b[i + 1] + b[i + 2] > 0;
        close += d <= 8, covered += lit;
        covered_close += lit && d <= 8, covered_same += lit && d == 0;
    }
    const double share = webp || name.find("outline") != std::string::npos ? 0.97 : 0.995;
    // The Sun alone covers about 1,200 pixels; drawn from lossy copies, some pixels must differ.
    check(file.good() && close >= 0.995 * 800 * 600 && covered > 1000 &&
              covered_close >= share * covered,
          name + ": " + std::to_string(close) + " pixels within 8 levels, " +
              std::to_string(covered_close) + " of the " + std::to_string(covered) + " covered");
    const bool textured = texturing_on && name.find("no_pictures") == std::string::npos;
    if (webp && textured) check(covered_same < covered, name + ": the page's pictures not drawn");
}
// The same hits in the same order with the same names; each depth, scaled to 0 .. 2^32 - 1,
// within 2^32 / 100,000 of the reference's (Mesa rounds them in single precision: 417 apart at
// most here, where the Sun's front and back lie a million apart).
static void compare_pick(const std::vector<long long>& s) {
    std::string line;
    std::getline(reference_picks, line);
    std::istringstream words(line.substr(line.find(' ') + 1));  // after the label
    std::vector<long long> m;
    for (long long word; words >> word;) m.push_back(word);
    const long long depth_tolerance = 4294967296 / 100000;
    bool agree = m.size() == s.size() && std::equal(s.begin(), s.begin() + 3, m.begin());
    for (std::size_t at = 3; agree && at < m.size(); at += 3 + m[at]) {
        for (std::size_t k = 0; agree && k < 3 + std::size_t(m[at]) && at + k < m.size(); ++k)
            agree = std::llabs(m[at + k] - s[at + k]) <= (k == 1 || k == 2 ? depth_tolerance : 0);
        (m[at] == 0 ? nameless_hits : named_hits) += 1;
    }
    check(agree, "pick " + std::to_string(picks_made) + " against the reference's " + line);
}
// A click as the program picks: a 2-pixel region around it, the view's perspective, the scene in
// selection mode. Each hit record: its names' count, least and greatest depth, and the names.
static void pick(const std::string& label, int x, int y) {
    GLuint buffer[512] = {};
    GLint viewport[4] = {0, 0, 800, 600};
    glSelectBuffer(512, buffer), glMatrixMode(GL_PROJECTION), glPushMatrix();
    glRenderMode(GL_SELECT), glLoadIdentity(), gluPickMatrix(x, 600 - y, 2.0, 2.0, viewport);
    gluPerspective(field_of_view, aspect_ratio, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW), glLoadIdentity(), draw_scene_for_selection();
    std::vector<long long> words{x, y, glRenderMode(GL_RENDER)};
    glMatrixMode(GL_PROJECTION), glPopMatrix(), glMatrixMode(GL_MODELVIEW);
    for (GLuint h = 0, at = 0; h < words[2]; ++h, at += 3 + buffer[at])
        words.insert(words.end(), buffer + at, buffer + at + 3 + buffer[at]);
    picks << label;
    for (long long word : words) picks << ' ' << word;
    picks << '\n';
    if (!reference.empty()) compare_pick(words);
    ++picks_made;
}
static void pick_grid(const std::string& label, int first, int step) {
    for (int y = first; y < 600; y += step)
        for (int x = first; x < 800; x += step) pick(label, x, y);
}
// Seen from above (tilt 90) at scale 0.6, an orbit-plane unit is 0.6 * 300 / tan(22.5 degrees) /
// 22 = 19.753 pixels. Each body's start (degrees, units, radius); Pluto's tilted orbit and the
// Moon worked out by hand: 369.6 and 23.2 pixels off the centre, and 3.3935 units at 8.289 degrees.
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
    if (open_context() && (resize_view(800, 600), init_render_state())) return;
    std::fprintf(stderr, "no rendering context, or no render state in it\n"), std::exit(1);
}
// What closing the main window releases, and the context.
static void close_view() { gluDeleteQuadric(quadric), forget_selection_lists(), close_context(); }
// A frame drawn as its name says: "mode2" for the second sphere mode (else the first), "unlit",
// "untextured" and "outline" with F2, F3 or F4 switched; "above" seen from above at scale 0.6,
// "zoomed" scaled up ten times. Its pixels are compared with the reference's.
static void frame(const std::string& name, bool (*draw)() = draw_scene) {
    const auto has = [&name](const char* word) { return name.find(word) != std::string::npos; };
    sphere_mode = has("mode2") ? 2 : 1, view_tilt = has("above") ? 90.0f : 22.5f;
    lighting_on = !has("unlit"), texturing_on = !has("untextured"), solid_fill = !has("outline");
    view_scale = has("above") ? 0.6f : has("zoomed") ? 10.0f : 1.0f;
    draw();
    frames[name] = write_frame(out + "/" + name + ".ppm");
    if (!reference.empty()) compare_frame(name, frames[name]);
}
// The frame drawn a second time, from display lists or from GLU's shapes, uploads no buffer or
// texture anew (counted for the subset) and is SAME_AS to the bit, where given.
static void frame_again(const std::string& name, bool (*draw)(), const char* same_as) {
    draw(), read_frame();
    const long before = uploads();
    frame(name, draw);
    check(uploads() == before, name + ": " + std::to_string(uploads() - before) + " uploads again");
    if (same_as)
        check(frames[name] == frames[same_as], name + " is not " + same_as + " to the bit");
}
// The frame after STEPS drawn frames (each advances the animation once first).
static int one_frame(int argc, char** argv) {
    const std::string file = std::filesystem::absolute(argv[2]).string();
    std::filesystem::current_path(argv[1]), open_view();
    sphere_mode = std::atoi(argv[4]), lighting_on = std::atoi(argv[5]) != 0;
    texturing_on = std::atoi(argv[6]) != 0, solid_fill = std::atoi(argv[7]) != 0;
    if (argc == 9) view_turn = float(std::atof(argv[8]));
    for (long step = std::atol(argv[3]); step > 1; --step) advance_orbits();
    draw_scene(), write_frame(file), close_view();
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 8 || argc == 9) return (animating = 1, one_frame(argc, argv));
    if (argc < 3 || argc > 5) return std::fprintf(stderr, "usage: see oracle_frames.cpp\n"), 2;
    out = std::filesystem::absolute(argv[2]).string();
    std::filesystem::create_directories(out), std::filesystem::current_path(argv[1]);
    if (argc > 3) reference = std::filesystem::absolute(argv[3]).string();
    webp = argc == 5 && std::string(argv[4]) == "webp";
    reference_picks.open(reference + "/picks.txt"), picks.open(out + "/picks.txt");
    animating = 0, open_view();
    // A click leaves the picture behind its box as it was.
    frame("mode1"), pick("mode1", 400, 300);
    check(read_frame() == last_frame, "mode1: the pick changed the picture");
    const auto draw_from_lists = [] { return draw_scene_for_selection(), true; };  // a pick's lists
    frame_again("mode1_lists", draw_from_lists, "mode1");
    frame("mode2"), pick("mode2", 400, 300);
    frame_again("mode2_lists", draw_from_lists, nullptr);
    frame_again("mode2_again", draw_scene, "mode2");
    for (const char* name : {"mode1_unlit", "mode1_untextured", "mode1_outline", "mode2_outline"})
        frame(name);
    // The second "above_mode1" after a mode switch.
    const std::vector<std::pair<int, int>> clicks = clicks_from_above();
    for (const char* name : {"above_mode1", "above_mode2", "above_mode1", "above_outline_mode1",
                             "above_outline_mode2"}) {
        frame(name);
        for (auto [x, y] : clicks) pick(name, x, y);
    }
    // Outlined and scaled up ten times, the Sun's faces are many pixels wide: a click inside one,
    // away from its edges, hits nothing.
    for (const char* name : {"zoomed_outline", "zoomed"}) frame(name), pick_grid(name, 20, 80);
    close_view(), open_view();  // a context that replaces the first, as F1 makes one
    frame("mode1_new_context"), pick_grid("grid", 50, 100);
    // Without pictures (boxes to standard error): empty textures and lists leave the bodies white.
    close_view(), std::filesystem::current_path(out), open_view();  // PPMs only
    for (const char* name : {"no_pictures_mode1", "no_pictures_mode2"}) frame(name);
    if (!reference.empty())
        check(picks_made > 500 && named_hits > 300 && nameless_hits > 100 &&
                  reference_picks.peek() == EOF,
              "bodies, the nameless ring and disks hit in as many picks as the reference's");
    std::printf("%s: %d failures\n", context_version().c_str(), failures);
    close_view();
    return failures > 0 ? 1 : 0;
}
