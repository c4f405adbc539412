// End to end on desktops: under Xvfb with openbox (decorations, the window manager's close request
// and pings, resizing, boxes over a window and over full screen, drags past the edge), without any
// display, and under weston through SDL's Wayland driver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "support/x11_harness.h"

namespace {
void sleep_for(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

// The program, with the planet pictures, on a display of its own under openbox.
struct Desktop : XvfbDisplay {
    explicit Desktop(const char* screen) : XvfbDisplay(screen, true), program(*this, dir.path()) {}
    // Openbox drops clicks in the moment after it maps a window or hands the keyboard back.
    XWindow main_window(XWindow except = 0) {
        const XWindow window = find_window("OpenGL Team Project", 20, except);
        return sleep_for(1), window;
    }
    bool close_box(XWindow box, XWindow target = 0) {  // by Return; 0: where openbox put the keys
        press_key(target, "Return");
        const bool gone = wait_window_gone(box);
        return sleep_for(0.5), gone;
    }
    // Clicks there: the caption of the box that opens ("" for none), closed again by Return.
    std::string click_caption(XWindow window, int x, int y) {
        const char* boxes = "wmctrl -l | grep -v 'OpenGL Team Project' | awk '{print $NF}'";
        std::string caption;
        click(window, x, y);
        wait_until([&] { return !(caption = run(boxes)).empty(); }, 3);
        if (!caption.empty()) press_key(0, "Return");
        wait_until([&] { return run(boxes).empty(); }, 5);
        return sleep_for(0.5), caption;
    }
    std::string property(XWindow window, const char* name) {
        return run("xprop -id " + std::to_string(window) + " " + name);
    }
    // Waits for the Sun's disc centred on (x, y), as wide as high, with the radius that the
    // 45-degree field of view gives a radius of 0.6 at 22 units in a client area `height` high.
    bool shows_sun(XWindow window, int x, int y, int height) {
        const double expected = 0.6 / 22 * height / 2 / std::tan(M_PI / 8);
        return wait_until(
            [&] {
                const RgbPicture shot = screenshot(window);
                auto lit = [&](int px, int py) {
                    return px >= 0 && py >= 0 && px < shot.width && py < shot.height &&
                           shot.pixel(px, py)[0] > 120 && shot.pixel(px, py)[1] > 120;
                };
                int across = 0, down = 0;
                while (lit(x + across + 1, y) && lit(x - across - 1, y)) ++across;
                while (lit(x, y + down + 1) && lit(x, y - down - 1)) ++down;
                return std::abs(across + 0.5 - expected) < 2 && std::abs(down + 0.5 - expected) < 2;
            },
            10);
    }
    bool changes_within(XWindow window, double seconds) {
        const RgbPicture first = screenshot(window);
        return wait_until([&] { return screenshot(window).rgb != first.rgb; }, seconds);
    }
    bool ends_with_zero(XWindow target, const char* key) {
        press_key_until(target, key, [&] { return !program.running(); });
        return program.wait_exit() == 0;
    }
    ScratchDir dir{ScratchDir::with_pictures};
    ProgramRun program;
};
}  // namespace

TEST(DesktopEndToEnd, DecoratedWindowWithBoxesThatTakeTheKeyboardAndFreezeTheInput) {
    Desktop desktop("1280x1024x24");
    const XWindow window = desktop.main_window();
    const WindowGeometry at = desktop.geometry(window).value_or(WindowGeometry{});
    EXPECT_EQ(std::vector<int>({at.width, at.height}), std::vector<int>({800, 600}));
    EXPECT_GT(at.y, 0) << "no title bar above the client area";
    ASSERT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << desktop.program.output();

    // The box takes the keyboard from the window manager itself; Return closes it.
    desktop.click(window, 400, 300);
    XWindow box = desktop.find_window("태양");
    ASSERT_NE(box, 0u) << desktop.program.output();
    ASSERT_TRUE(desktop.close_box(box)) << "the box did not get the keyboard";

    // A second box, moved off the window: the window shows its picture again, and it is frozen.
    desktop.click(window, 400, 300);
    ASSERT_NE(box = desktop.find_window("태양"), 0u);
    desktop.run("xdotool windowmove " + std::to_string(box) + " 900 700");
    EXPECT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << "the box left its image behind";
    EXPECT_FALSE(desktop.changes_within(window, 0.7)) << "drawn while the box was open";
    const std::vector<std::uint8_t> rgb = desktop.screenshot(box).rgb;
    int text_pixels = 0;  // far brighter than the box's background in its corner
    for (size_t k = 0; k < rgb.size(); k += 3)
        text_pixels += rgb[k] + rgb[k + 1] + rgb[k + 2] > rgb[0] + rgb[1] + rgb[2] + 288;
    EXPECT_GE(text_pixels, 600) << "the box looks blank";

    // A click and a key aimed at the frozen window and the window manager's close request come to
    // nothing; pings are answered all the while (openbox pings on a close request).
    desktop.click(window, 400, 300);
    desktop.press_key(window, "space");
    desktop.send_close_request(window);
    sleep_for(10);
    const std::string title = desktop.property(window, "_NET_WM_VISIBLE_NAME");
    EXPECT_EQ(title.find("Not Responding"), std::string::npos) << title;
    ASSERT_TRUE(desktop.close_box(box, box));
    EXPECT_EQ(desktop.find_window("태양", 2), 0u) << "the click on the frozen window opened a box";
    EXPECT_TRUE(desktop.program.running()) << "the close request was kept";
    EXPECT_TRUE(desktop.changes_within(window, 5)) << "the space bar paused the animation";

    // Resized by the window manager, the picture fills the new client area undistorted.
    desktop.run("xdotool windowsize " + std::to_string(window) + " 1200 900");
    EXPECT_TRUE(desktop.shows_sun(window, 600, 450, 900)) << "Sun not centred, or not 1.5 times";

    // The keyboard is back. No 800x600 mode here: F1 asks, Return (Yes) goes on windowed.
    ASSERT_TRUE(desktop.press_key_until(0, "F1", [&] { return !desktop.exists(window); }));
    const XWindow question = desktop.find_window("2nd Term OpenGL Project");
    ASSERT_TRUE(desktop.close_box(question)) << desktop.program.output();
    const XWindow windowed = desktop.main_window(window);
    EXPECT_EQ(desktop.geometry(windowed).value_or(WindowGeometry{}).width, 800);
    EXPECT_TRUE(desktop.ends_with_zero(0, "Escape"));
}

// On a display of exactly 800x600 at 16 bits: F1, a box, Return; the window stays full screen.
TEST(DesktopEndToEnd, FullScreenSurvivesABoxAndKeepsTheKeyboard) {
    Desktop desktop("800x600x16");
    const XWindow window = desktop.main_window();
    ASSERT_TRUE(desktop.press_key_until(0, "F1", [&] { return !desktop.exists(window); }));
    const XWindow full = desktop.main_window(window);
    ASSERT_TRUE(desktop.shows_sun(full, 400, 300, 600));
    desktop.click(full, 400, 300);
    const XWindow box = desktop.find_window("태양");
    ASSERT_NE(box, 0u) << desktop.program.output();
    ASSERT_TRUE(desktop.close_box(box));
    const WindowGeometry at = desktop.geometry(full).value_or(WindowGeometry{});
    EXPECT_EQ(std::vector<int>({at.x, at.y, at.width, at.height}),
              std::vector<int>({0, 0, 800, 600}));
    const std::string state = desktop.property(full, "WM_STATE _NET_WM_STATE");
    EXPECT_NE(state.find("Normal"), std::string::npos) << state;
    EXPECT_NE(state.find("FULLSCREEN"), std::string::npos) << state;
    EXPECT_EQ(state.find("HIDDEN"), std::string::npos) << state;
    EXPECT_TRUE(desktop.changes_within(full, 5)) << "the animation does not run on the screen";
    EXPECT_TRUE(desktop.press_key_until(0, "F1", [&] { return !desktop.exists(full); }));
    EXPECT_NE(desktop.main_window(full), 0u);
    EXPECT_TRUE(desktop.ends_with_zero(0, "Escape"));
}

// The view turns by the pointer's travel inside the client area: a right-drag from x = 360 across
// the left edge turns it by 360 degrees (positions stop at 0), which leaves the scene as it was.
// Positions read past the edge turn it otherwise: -60 taken as the unsigned 65476 leaves it 44
// degrees short of a full turn, -60 taken as it is 60 degrees past one. With the animation paused
// nothing is drawn, but picking sees the current view: a body hit before the drag is hit after.
TEST(DesktopEndToEnd, RightDragAcrossTheLeftEdgeTurnsNoFurtherThanThePointerWentInside) {
    Desktop desktop("1024x768x24");
    const XWindow window = desktop.main_window();
    const std::string id = std::to_string(window);
    desktop.run("xdotool windowmove " + id + " 150 100");
    ASSERT_TRUE(desktop.shows_sun(window, 400, 300, 600));
    desktop.press_key(0, "space");
    sleep_for(0.5);

    // A body away from the Sun: the first pixel with 5x5 lit surroundings whose click opens a box.
    const RgbPicture shot = desktop.screenshot(window);
    int probe_x = 400, probe_y = 300;  // the last one tried
    std::string caption;
    for (int y = 2; y < 598 && caption.empty(); y += 3) {
        for (int x = 2; x < 798 && caption.empty(); x += 3) {
            bool lit =
                std::hypot(x - 400, y - 300) > 40 && std::hypot(x - probe_x, y - probe_y) > 20;
            for (int k = 0; k < 25 && lit; ++k) {
                const std::uint8_t* p = shot.pixel(x + k % 5 - 2, y + k / 5 - 2);
                lit = p[0] + p[1] + p[2] > 120;
            }
            if (lit) caption = desktop.click_caption(window, probe_x = x, probe_y = y);
        }
    }
    ASSERT_FALSE(caption.empty()) << "no body to click";
    // Pressed at 360, out to -60 and released there (not seen), back at 0 and clicked to end it.
    desktop.run("xdotool mousemove --window " + id + " 360 560 mousedown 3 mousemove_relative -- " +
                "-160 0 mousemove_relative -- -260 0 sleep 0.3 mouseup 3 mousemove --window " + id +
                " 0 560 click 3 sleep 0.3");
    EXPECT_EQ(desktop.click_caption(window, probe_x, probe_y), caption)
        << "the drag turned the view by other than 360 degrees";

    // The window manager's close request ends the program with status 0.
    desktop.send_close_request(window);
    EXPECT_EQ(desktop.program.wait_exit(), 0) << desktop.program.output();
}

// With no display at all the opening fails; its message goes to standard error and the exit is 0.
TEST(DesktopEndToEnd, WithoutADisplayTheMessageGoesToStandardError) {
    ScratchDir dir{ScratchDir::with_pictures};
    const std::string output =
        shell_output("cd '" + dir.path() +
                     "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 '" +
                     ORRERY_BINARY + "' 2>&1; echo status $?");
    EXPECT_NE(output.find("ERROR: Window Creation Error.\nstatus 0"), std::string::npos) << output;
}

// Weston's X11 back end nested in Xvfb: its output is an X window, which gets the screenshots and
// the input. The median of the pale yellow pixels is the Sun's centre (it outnumbers any planet).
TEST(WaylandEndToEnd, DrawsSurvivesTwoF1SwitchesShowsABoxAndEndsOnEscape) {
    XvfbDisplay display("1024x768x24");
    ScratchDir runtime, dir(ScratchDir::with_pictures);  // the runtime directory is private (700)
    const std::string socket = "orrery-e2e-" + std::to_string(getpid());
    display.start({"weston", "--backend=x11-backend.so", "--width=1000", "--height=700",
                   "--socket=" + socket},
                  {"XDG_RUNTIME_DIR=" + runtime.path()});
    const XWindow output = display.find_window("Weston Compositor - screen0");
    // Weston's shell draws its background once it is up. Weston has the keyboard before the
    // program's window comes: a window that comes earlier can lose it again.
    ASSERT_TRUE(wait_until([&] {
        const RgbPicture shot = display.screenshot(output);
        return shot.width >= 1000 && shot.pixel(500, 350)[0] + shot.pixel(500, 350)[1] > 150;
    }));
    display.run("xdotool windowfocus " + std::to_string(output));
    ProgramRun program(display, dir.path(),
                       {"XDG_RUNTIME_DIR=" + runtime.path(), "WAYLAND_DISPLAY=" + socket,
                        "SDL_VIDEODRIVER=wayland"});
    int sun_x = -1, sun_y = -1, corners = 0;  // corners: how many of the output's are black
    auto look = [&] {
        const RgbPicture shot = display.screenshot(output);
        std::vector<int> xs, ys;
        corners = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                const std::uint8_t* p = shot.pixel(x, y);
                if (p[0] > 200 && p[1] > 200 && p[2] < p[0] - 40) xs.push_back(x), ys.push_back(y);
                corners += (x == 4 || x == 995) && (y == 4 || y == 695) && p[0] + p[1] + p[2] < 60;
            }
        std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
        std::nth_element(ys.begin(), ys.begin() + ys.size() / 2, ys.end());
        sun_x = xs.size() > 400 ? xs[xs.size() / 2] : -1;
        sun_y = xs.size() > 400 ? ys[ys.size() / 2] : -1;
    };
    ASSERT_TRUE(wait_until([&] { return look(), sun_x >= 0; })) << program.output();

    // Weston gives a window the keyboard a moment after it appears, and passes on no key held
    // meanwhile: keys are tapped every two seconds until they act.
    auto tap_until = [&](const char* key, const std::function<bool()>& done) {
        for (int taps = 0; taps < 10; ++taps) {
            display.press_key(output, key, 0.05);
            if (wait_until(done, 2)) return true;
        }
        return false;
    };
    // Full screen covers the whole output, the panel and the background in its corners too.
    EXPECT_TRUE(tap_until("F1", [&] { return look(), corners == 4; }));
    EXPECT_TRUE(tap_until("F1", [&] { return look(), corners < 4 && sun_x >= 0; }));
    ASSERT_TRUE(program.running()) << program.output();

    // SDL shows the box through zenity, a child of the program with the caption on its command
    // line. Weston follows the pointer once it has come into its window.
    display.run("xdotool mousemove 1010 710 mousemove --window " + std::to_string(output) + " " +
                std::to_string(sun_x) + " " + std::to_string(sun_y) + " click 1");
    const std::string children = "pgrep -a -P " + std::to_string(program.pid());
    EXPECT_TRUE(
        wait_until([&] { return display.run(children).find("태양") != std::string::npos; }));
    EXPECT_TRUE(tap_until("Return", [&] { return display.run(children).empty(); }));
    EXPECT_TRUE(tap_until("Escape", [&] { return !program.running(); }));
    EXPECT_EQ(program.wait_exit(), 0) << program.output();
}
