// End-to-end tests of the textures: the real program under Xvfb with the
// shipped pictures draws the Sun, Earth and Jupiter with their pictures in
// both sphere modes, F3 switches texturing, and without pictures the program
// runs untextured after the reader's boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "image/bitmap_reader.h"
#include "scene/bodies.h"
#include "support/x11_harness.h"

namespace {
const char* const main_title = "OpenGL Team Project";
constexpr int window_width = 800, window_height = 600;
constexpr double pi = 3.14159265358979323846;

struct Colour {
    double red = 0, green = 0, blue = 0;
    double distance(const Colour& o) const {
        return std::sqrt((red - o.red) * (red - o.red) + (green - o.green) * (green - o.green) +
                         (blue - o.blue) * (blue - o.blue));
    }
    // Blue's share of the colour minus red's: 0 for any grey.
    double blue_over_red() const { return (blue - red) / (red + green + blue); }
};
const Colour white{255, 255, 255};

// The mean colour of a shipped picture.
Colour picture_mean(const char* name) {
    const std::string path = std::string(ORRERY_TEXTURE_DIR) + "/" + name;
    RgbImage* image = read_bitmap_image(path.c_str());
    Colour mean;
    if (image == nullptr) return mean;
    const long count = static_cast<long>(image->width) * image->height;
    for (long i = 0; i < count; ++i) {
        mean.red += image->pixels[3 * i] / double(count);
        mean.green += image->pixels[3 * i + 1] / double(count);
        mean.blue += image->pixels[3 * i + 2] / double(count);
    }
    std::free(image->pixels);
    std::free(image);
    return mean;
}

bool lit(const RgbPicture& shot, int x, int y) {
    if (x < 0 || y < 0 || x >= shot.width || y >= shot.height) return false;
    const std::uint8_t* p = shot.pixel(x, y);
    return p[0] > 40 || p[1] > 40 || p[2] > 40;
}

// The lit pixels within `radius` of (x, y): their number, mean colour, and
// how many are distinctly blue.
struct Disc {
    int count = 0;
    Colour mean;
    int blue = 0;
};
Disc disc_at(const RgbPicture& shot, double x, double y, double radius) {
    Disc disc;
    for (int py = int(y - radius); py <= int(y + radius) + 1; ++py)
        for (int px = int(x - radius); px <= int(x + radius) + 1; ++px) {
            if ((px - x) * (px - x) + (py - y) * (py - y) > radius * radius) continue;
            if (!lit(shot, px, py)) continue;
            const std::uint8_t* p = shot.pixel(px, py);
            disc.mean.red += p[0], disc.mean.green += p[1], disc.mean.blue += p[2];
            disc.blue += p[2] > p[0] + 20;
            ++disc.count;
        }
    if (disc.count > 0) {
        disc.mean = {disc.mean.red / disc.count, disc.mean.green / disc.count,
                     disc.mean.blue / disc.count};
    }
    return disc;
}

// Where a planet on its orbit at `angle` degrees appears in the window at the
// starting view (tilt 22.5, no turn, scale 1, 45-degree field of view), and
// its radius there in pixels.
struct Projected {
    double x, y, radius;
};
Projected project(const Body& body, double angle) {
    const double theta = angle * pi / 180, tilt = 22.5 * pi / 180;
    const double d = body.orbit_distance;
    const double x = d * std::cos(theta), y = d * std::sin(theta) * std::sin(tilt);
    const double depth = 22.0 + d * std::sin(theta) * std::cos(tilt);
    const double focal = 1.0 / std::tan(22.5 * pi / 180);
    const double aspect = double(window_width) / window_height;
    return {window_width / 2.0 * (1 + focal / aspect * x / depth),
            window_height / 2.0 * (1 - focal * y / depth),
            window_height / 2.0 * focal * body.radius / depth};
}

// The planet's disc, found by sliding a disc of its size along its projected
// orbit to where it is fullest.
Disc planet_disc(const RgbPicture& shot, const Body& body) {
    double best_fill = -1, best_angle = 0;
    for (double angle = 0; angle < 360; angle += 0.5) {
        const Projected p = project(body, angle);
        const double fill = disc_at(shot, p.x, p.y, p.radius).count / (pi * p.radius * p.radius);
        if (fill > best_fill) best_fill = fill, best_angle = angle;
    }
    const Projected p = project(body, best_angle);
    EXPECT_GT(best_fill, 0.6) << "planet not found on its orbit";
    return disc_at(shot, p.x, p.y, p.radius);
}

struct Session {
    XvfbDisplay display{"1024x768x24"};
    ScratchDir dir;
    ProgramRun run;
    XWindow window = 0;

    explicit Session(ScratchDir::Contents contents) : dir(contents), run(display, dir.path()) {}

    RgbPicture shot() { return display.screenshot(window); }
    Colour centre() { return disc_at(shot(), window_width / 2.0, window_height / 2.0, 4).mean; }
    // Space pauses or resumes; a paused window keeps showing its last frame.
    void pause() {
        display.press_key(window, "space");
        ASSERT_TRUE(wait_until([&] {
            const RgbPicture before = shot();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return shot().rgb == before.rgb;
        }));
    }
    void resume() { display.press_key(window, "space"); }
};

// Textured in sphere mode 1 (start) and 2 (after F5).
class TexturedBodies : public testing::TestWithParam<int> {};

TEST_P(TexturedBodies, ShowTheirPicturesAndF3SwitchesThemOff) {
    const Colour sun = picture_mean("Sun.bmp");
    const Colour jupiter = picture_mean("Jupiter.bmp");
    ASSERT_LT(jupiter.blue_over_red(), -0.02);

    Session session(ScratchDir::with_pictures);
    session.window = session.display.find_window(main_title);
    ASSERT_NE(session.window, 0u) << session.run.output();
    ASSERT_TRUE(wait_until([&] { return session.centre().distance(sun) < 12; }))
        << "the Sun's centre is not its picture's colour in sphere mode 1";
    if (GetParam() == 2) session.display.press_key(session.window, "F5", 1.0);

    session.pause();
    const RgbPicture textured = session.shot();
    EXPECT_LT(disc_at(textured, 400, 300, 4).mean.distance(sun), 12);
    // Earth's oceans show on every side of it; Jupiter's bands are beige.
    const Disc earth_seen = planet_disc(textured, bodies[catalogue::earth]);
    const Disc jupiter_seen = planet_disc(textured, bodies[catalogue::jupiter]);
    EXPECT_GT(earth_seen.blue, earth_seen.count / 5);
    EXPECT_LT(jupiter_seen.mean.blue_over_red(), jupiter.blue_over_red() / 2);

    // F3 acts in the idle pass after a frame: resume, switch, pause again.
    session.resume();
    ASSERT_TRUE(session.display.press_key_until(session.window, "F3", [&] {
        return session.centre().distance(white) < 12;
    })) << "F3 left the Sun textured";
    session.pause();
    const RgbPicture plain = session.shot();
    EXPECT_LT(disc_at(plain, 400, 300, 4).mean.distance(white), 12);
    EXPECT_EQ(planet_disc(plain, bodies[catalogue::earth]).blue, 0);

    session.resume();
    EXPECT_TRUE(session.display.press_key_until(session.window, "F3", [&] {
        return session.centre().distance(sun) < 12;
    })) << "F3 did not bring the Sun's picture back";
}

INSTANTIATE_TEST_SUITE_P(SphereModes, TexturedBodies, testing::Values(1, 2));

// Successive boxes may reuse one X window id (each is shown by a new
// process), so a box counts as answered once its window is gone or shows
// another text.
bool answer_box(XvfbDisplay& display, XWindow box) {
    RgbPicture shown;
    const bool drawn = wait_until([&] {
        RgbPicture now = display.screenshot(box);
        const bool settled = !now.rgb.empty() && now.rgb == shown.rgb &&
                             std::count(now.rgb.begin(), now.rgb.end(), now.rgb[0]) !=
                                 static_cast<long>(now.rgb.size());
        shown = std::move(now);
        if (!settled) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return settled;
    });
    if (!drawn) return false;
    // The box acts on the key's release.
    display.press_key(box, "Return");
    return wait_until(
        [&] { return !display.exists(box) || display.screenshot(box).rgb != shown.rgb; });
}

// Without pictures: the set is abandoned silently and the lists show one box
// per file read (lists 1 to 12 and Saturn2), then the scene runs untextured.
TEST(UntexturedEndToEnd, MissingPicturesShowTheReadersBoxesThenRun) {
    Session session(ScratchDir::empty);
    for (int box_number = 1; box_number <= 13; ++box_number) {
        XWindow box = session.display.find_window("Error");
        ASSERT_NE(box, 0u) << "box " << box_number << "\n" << session.run.output();
        ASSERT_TRUE(answer_box(session.display, box)) << "box " << box_number;
    }
    EXPECT_EQ(session.display.find_window("Error", 1.0), 0u);
    session.window = session.display.find_window(main_title);
    ASSERT_NE(session.window, 0u);
    EXPECT_TRUE(wait_until([&] { return session.centre().distance(white) < 12; }));
    EXPECT_TRUE(session.run.running());
}
}  // namespace
