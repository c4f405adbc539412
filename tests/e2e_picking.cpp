// End-to-end test of picking: a click on the Sun of the real program under
// Xvfb opens its information box, the animation stands still while the box is
// open and goes on once Return has closed it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "support/x11_harness.h"

static const char* const main_title = "OpenGL Team Project";
static const char* const sun_caption = "태양";

static bool same_picture(const RgbPicture& a, const RgbPicture& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// Two screenshots of the window this far apart differ: something was drawn.
static bool changes_within(XvfbDisplay& display, XWindow window, double seconds) {
    const RgbPicture first = display.screenshot(window);
    return wait_until([&] { return !same_picture(display.screenshot(window), first); }, seconds);
}

TEST(PickingEndToEnd, ClickOnSunShowsModalBoxThatStopsTheAnimationUntilReturn) {
    XvfbDisplay display("1024x768x24");
    ASSERT_TRUE(display.ok());
    ScratchDir dir(ScratchDir::with_pictures);
    ProgramRun run(display, dir.path());
    const XWindow main_window = display.find_window(main_title);
    ASSERT_NE(main_window, 0u) << run.output();
    ASSERT_TRUE(changes_within(display, main_window, 10)) << "the animation never ran";

    display.click(main_window, 400, 300);  // the Sun's centre
    const XWindow box = display.find_window(sun_caption);
    ASSERT_NE(box, 0u) << run.output();

    // While the box is open no frame is drawn or swapped.
    const RgbPicture frozen = display.screenshot(main_window);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(same_picture(display.screenshot(main_window), frozen));
    EXPECT_TRUE(run.running());

    // The box shows its text: six bands of rows with pixels that stand out
    // from the background (the most common colour), and the button's below.
    const RgbPicture box_picture = display.screenshot(box);
    ASSERT_GT(box_picture.width, 0);
    std::map<int, int> colour_counts;
    auto colour_at = [&](int x, int y) {
        const std::uint8_t* p = box_picture.pixel(x, y);
        return p[0] << 16 | p[1] << 8 | p[2];
    };
    for (int y = 0; y < box_picture.height; ++y) {
        for (int x = 0; x < box_picture.width; ++x) ++colour_counts[colour_at(x, y)];
    }
    const int background =
        std::max_element(colour_counts.begin(), colour_counts.end(), [](auto& a, auto& b) {
            return a.second < b.second;
        })->first;
    auto brightness = [](int rgb) { return (rgb >> 16 & 255) + (rgb >> 8 & 255) + (rgb & 255); };
    int text_pixels = 0, bands = 0;
    bool in_band = false;
    for (int y = 0; y < box_picture.height; ++y) {
        int row_pixels = 0;
        for (int x = 0; x < box_picture.width; ++x) {
            if (std::abs(brightness(colour_at(x, y)) - brightness(background)) > 3 * 96) {
                ++row_pixels;
            }
        }
        text_pixels += row_pixels;
        bands += row_pixels > 0 && !in_band;
        in_band = row_pixels > 0;
    }
    if (bands < 7 || text_pixels < 600) {
        box_picture.write_png(::testing::TempDir() + "orrery_sun_box.png");
    }
    EXPECT_GE(bands, 7) << "six lines of text and the button";
    EXPECT_GE(text_pixels, 600) << "the box looks blank; its picture is in the temp directory";

    // The box takes its default button on the key's release.
    display.press_key(box, "Return");
    ASSERT_TRUE(display.wait_window_gone(box));
    EXPECT_TRUE(changes_within(display, main_window, 10)) << "the animation did not resume";

    display.press_key_until(main_window, "Escape", [&] { return !run.running(); });
    EXPECT_EQ(run.wait_exit(), 0) << run.output();
}
