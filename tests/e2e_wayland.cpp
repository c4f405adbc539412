// End to end under Wayland: weston's X11 back end nested in Xvfb, the program on SDL's Wayland
// driver. Weston's output is an X window, so screenshots and XTest input go through it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "support/x11_harness.h"

// The median position of the pale yellow pixels, which the Sun's disc outnumbers on any planet;
// (-1, -1) when there are too few for the Sun.
static std::pair<int, int> sun_centre(const RgbPicture& shot) {
    std::vector<int> xs, ys;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const std::uint8_t* p = shot.pixel(x, y);
            if (p[0] > 200 && p[1] > 200 && p[2] < p[0] - 40) xs.push_back(x), ys.push_back(y);
        }
    if (xs.size() < 400) return {-1, -1};
    std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
    std::nth_element(ys.begin(), ys.begin() + ys.size() / 2, ys.end());
    return {xs[xs.size() / 2], ys[ys.size() / 2]};
}

// Full screen covers weston's whole output, its panel and background (the corners) too.
static bool full_screen(const RgbPicture& shot) {
    bool dark = shot.width >= 1000 && shot.height >= 700;
    for (int corner = 0; corner < 4 && dark; ++corner) {
        const std::uint8_t* p = shot.pixel(corner % 2 ? 995 : 4, corner / 2 ? 695 : 4);
        dark = p[0] + p[1] + p[2] < 60;
    }
    return dark;
}

TEST(WaylandEndToEnd, DrawsSurvivesTwoF1SwitchesShowsABoxAndEndsOnEscape) {
    XvfbDisplay display("1024x768x24");
    ScratchDir runtime, dir(ScratchDir::with_pictures);  // the runtime directory is private (700)
    const std::string socket = "orrery-e2e-" + std::to_string(getpid());
    display.start({"weston", "--backend=x11-backend.so", "--width=1000", "--height=700",
                   "--socket=" + socket},
                  {"XDG_RUNTIME_DIR=" + runtime.path()});
    const XWindow output = display.find_window("Weston Compositor - screen0");
    ASSERT_NE(output, 0u) << "weston did not start";
    ASSERT_TRUE(
        wait_until([&] { return access((runtime.path() + "/" + socket).c_str(), 0) == 0; }));
    ProgramRun run(display, dir.path(),
                   {"XDG_RUNTIME_DIR=" + runtime.path(), "WAYLAND_DISPLAY=" + socket,
                    "SDL_VIDEODRIVER=wayland"});
    ASSERT_TRUE(wait_until([&] { return sun_centre(display.screenshot(output)).first >= 0; }))
        << "nothing drawn\n"
        << run.output();

    // Weston gives a window the keyboard a moment after it appears, and passes on no key held
    // meanwhile: keys are tapped every two seconds until they act.
    auto tap_until = [&](const char* key, const std::function<bool()>& done) {
        for (int taps = 0; taps < 10; ++taps) {
            display.press_key(output, key, 0.05);
            if (wait_until(done, 2)) return true;
        }
        return false;
    };
    EXPECT_TRUE(tap_until("F1", [&] { return full_screen(display.screenshot(output)); }));
    EXPECT_TRUE(tap_until("F1", [&] { return !full_screen(display.screenshot(output)); }));
    ASSERT_TRUE(run.running()) << run.output();

    // A click on the Sun: SDL shows the box through zenity, a child of the program with the
    // caption on its command line. Weston follows the pointer once it has entered its window.
    std::pair<int, int> sun;
    ASSERT_TRUE(
        wait_until([&] { return (sun = sun_centre(display.screenshot(output))).first >= 0; }));
    display.move_pointer(output, 1010, 710);
    display.click(output, sun.first, sun.second);
    const std::string children = "pgrep -a -P " + std::to_string(run.pid());
    EXPECT_TRUE(wait_until([&] { return display.run(children).find("태양") != std::string::npos; }))
        << run.output();
    EXPECT_TRUE(tap_until("Return", [&] { return display.run(children).empty(); }));
    EXPECT_TRUE(tap_until("Escape", [&] { return !run.running(); }));
    EXPECT_EQ(run.wait_exit(), 0) << run.output();
}
