// End to end: the Sun's picture on screen in both sphere modes, F3 switching it off and on.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "support/x11_harness.h"

namespace {
using Colour = std::array<double, 3>;
const Colour sun_picture{255, 255, 165}, white{255, 255, 255};  // Sun.bmp's mean colour

// The mean colour of the 9 x 9 pixels at the centre of the 800 x 600 window (inside the Sun).
Colour centre(const RgbPicture& shot) {
    Colour mean{};
    for (int y = 296; shot.height >= 600 && y <= 304; ++y)
        for (int x = 396; shot.width >= 800 && x <= 404; ++x)
            for (int i = 0; i < 3; ++i) mean[i] += shot.pixel(x, y)[i] / 81.0;
    return mean;
}

// Mode 1 as the program starts, F3 off and on again, then mode 2 after F5.
TEST(TexturedSun, ShowsItsPictureInBothSphereModesAndF3SwitchesItOff) {
    XvfbDisplay display("1024x768x24");
    ScratchDir dir(ScratchDir::with_pictures);
    ProgramRun run(display, dir.path());
    const XWindow window = display.find_window("OpenGL Team Project");
    ASSERT_NE(window, 0u) << run.output();
    const auto centre_is = [&](const Colour& c) {
        const Colour seen = centre(display.screenshot(window));
        return std::hypot(seen[0] - c[0], seen[1] - c[1], seen[2] - c[2]) < 12;
    };
    ASSERT_TRUE(wait_until([&] { return centre_is(sun_picture); })) << "the Sun is not its picture";
    ASSERT_TRUE(display.press_key_until(window, "F3", [&] { return centre_is(white); }));
    ASSERT_TRUE(display.press_key_until(window, "F3", [&] { return centre_is(sun_picture); }));
    display.press_key(window, "F5", 1.0);
    EXPECT_TRUE(centre_is(sun_picture) && !centre_is(white)) << "sphere mode 2";
}
}  // namespace
