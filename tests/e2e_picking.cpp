// End to end under Xvfb: a click on the Sun opens its box, which holds the animation until Return.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/x11_harness.h"

static bool changes_within(XvfbDisplay& display, XWindow window, double seconds) {
    const RgbPicture first = display.screenshot(window);
    return wait_until([&] { return display.screenshot(window).rgb != first.rgb; }, seconds);
}

TEST(PickingEndToEnd, ClickOnSunShowsModalBoxThatStopsTheAnimationUntilReturn) {
    XvfbDisplay display("1024x768x24");
    ScratchDir dir(ScratchDir::with_pictures);
    ProgramRun run(display, dir.path());
    const XWindow main_window = display.find_window("OpenGL Team Project");
    ASSERT_NE(main_window, 0u) << run.output();
    ASSERT_TRUE(changes_within(display, main_window, 10)) << "the animation never ran";

    display.click(main_window, 400, 300);  // the Sun's centre
    const XWindow box = display.find_window("태양");
    ASSERT_NE(box, 0u) << run.output();
    const RgbPicture frozen = display.screenshot(main_window);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(display.screenshot(main_window).rgb, frozen.rgb) << "drawn while the box was open";

    const std::vector<std::uint8_t> rgb = display.screenshot(box).rgb;
    auto brightness = [&](size_t k) { return rgb[k] + rgb[k + 1] + rgb[k + 2]; };
    int text_pixels = 0;  // far from the corner's background
    for (size_t k = 0; k < rgb.size(); k += 3)
        text_pixels += std::abs(brightness(k) - brightness(0)) > 288;
    EXPECT_GE(text_pixels, 600) << "the box looks blank";

    display.press_key(box, "Return");
    ASSERT_TRUE(display.wait_window_gone(box));
    EXPECT_TRUE(changes_within(display, main_window, 10)) << "the animation did not resume";
    display.press_key_until(main_window, "Escape", [&] { return !run.running(); });
    EXPECT_EQ(run.wait_exit(), 0) << run.output();
}
