// End-to-end tests of the textures: the Sun's and Earth's pictures on screen, F3 switching them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

#include "image/bitmap_reader.h"
#include "support/x11_harness.h"

namespace {
using Colour = std::array<double, 3>;

Colour picture_mean(const char* name) {
    RgbImage* image = read_bitmap_image((std::string(ORRERY_TEXTURE_DIR) + "/" + name).c_str());
    if (image == nullptr) return {};
    const long count = long(image->width) * image->height;
    Colour mean{};
    for (long i = 0; i < count * 3; ++i) mean[i % 3] += image->pixels[i] / double(count);
    std::free(image->pixels);
    std::free(image);
    return mean;
}

// The lit pixels within `radius` of (x, y): their mean colour, and how many are distinctly blue.
struct Disc {
    Colour mean{};
    int blue = 0;
};
Disc disc_at(const RgbPicture& shot, double x, double y, double radius) {
    Disc disc;
    if (shot.width < 800 || shot.height < 600) return disc;  // no window, or not the whole of it
    int count = 0;
    for (int py = int(y - radius); py <= int(y + radius) + 1; ++py)
        for (int px = int(x - radius); px <= int(x + radius) + 1; ++px) {
            const std::uint8_t* p = shot.pixel(px, py);
            if (std::hypot(px - x, py - y) > radius || std::max({p[0], p[1], p[2]}) <= 40) continue;
            for (int i = 0; i < 3; ++i) disc.mean[i] += p[i];
            disc.blue += p[2] > p[0] + 20;
            ++count;
        }
    for (double& channel : disc.mean) channel /= std::max(count, 1);
    return disc;
}

// The most distinctly blue pixels that a disc of Earth's size (radius 0.2) holds anywhere on
// Earth's orbit (radius 3) as the starting view shows it in the 800 x 600 window: tilt 22.5, eye
// 22 away, 45-degree field.
int blue_on_earth(const RgbPicture& shot) {
    const double d = 3, tilt = M_PI / 8;
    const double focal = 300 / std::tan(M_PI / 8);  // pixels per unit at depth 1
    int most = 0;
    for (double angle = 0; angle < 2 * M_PI; angle += M_PI / 360) {
        const double depth = 22 + d * std::sin(angle) * std::cos(tilt);
        most = std::max(most, disc_at(shot, 400 + focal * d * std::cos(angle) / depth,
                                      300 - focal * d * std::sin(angle) * std::sin(tilt) / depth,
                                      focal * 0.2 / depth)
                                  .blue);
    }
    return most;
}

class TexturedBodies : public testing::TestWithParam<int> {};  // sphere mode 1, or 2 after F5

TEST_P(TexturedBodies, ShowTheirPicturesAndF3SwitchesThemOff) {
    const Colour sun = picture_mean("Sun.bmp"), white{255, 255, 255};
    XvfbDisplay display("1024x768x24");
    ScratchDir dir(ScratchDir::with_pictures);
    ProgramRun run(display, dir.path());
    const XWindow window = display.find_window("OpenGL Team Project");
    ASSERT_NE(window, 0u) << run.output();
    const auto centre_is = [&](const Colour& c) {
        const Colour seen = disc_at(display.screenshot(window), 400, 300, 4).mean;
        return std::hypot(seen[0] - c[0], seen[1] - c[1], seen[2] - c[2]) < 12;
    };
    ASSERT_TRUE(wait_until([&] { return centre_is(sun); })) << "the Sun is not its picture";
    if (GetParam() == 2) display.press_key(window, "F5", 1.0);
    EXPECT_TRUE(centre_is(sun) && !centre_is(white));
    EXPECT_GT(blue_on_earth(display.screenshot(window)), 10) << "Earth's oceans do not show";
    ASSERT_TRUE(display.press_key_until(window, "F3", [&] { return centre_is(white); }));
    EXPECT_EQ(blue_on_earth(display.screenshot(window)), 0);
    EXPECT_TRUE(display.press_key_until(window, "F3", [&] { return centre_is(sun); }));
}

INSTANTIATE_TEST_SUITE_P(SphereModes, TexturedBodies, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& mode) {
                             return "Mode" + std::to_string(mode.param);
                         });
}  // namespace
