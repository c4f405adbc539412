// End to end under Xvfb with a window manager (openbox): decorations, the window manager's close
// request and pings, resizing, message boxes over a window and over full screen, and drags that
// leave the window.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "support/x11_harness.h"

namespace {
void sleep_for(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// The program on its own display with openbox, in a directory with the planet pictures.
struct Desktop {
    explicit Desktop(const char* screen) : display(screen, true), run(display, dir.path()) {}
    // Under openbox a click in the first moment after a window is mapped does not reach it.
    XWindow main_window(XWindow except = 0) {
        const XWindow window = display.find_window("OpenGL Team Project", 20, except);
        sleep_for(1);
        return window;
    }
    // Return to `target` (0: where openbox put the keyboard) closes the box. Openbox drops clicks
    // in the moment it hands the keyboard back.
    bool close_box(XWindow box, XWindow target = 0) {
        display.press_key(target, "Return");
        const bool gone = display.wait_window_gone(box);
        sleep_for(0.5);
        return gone;
    }
    std::string property(XWindow window, const char* name) {
        return display.run("xprop -id " + std::to_string(window) + " " + name);
    }
    bool changes_within(XWindow window, double seconds) {
        const RgbPicture first = display.screenshot(window);
        return wait_until([&] { return display.screenshot(window).rgb != first.rgb; }, seconds);
    }
    // Clicks there: the caption of the box that opens ("" for none), closed again by Return.
    std::string click_caption(XWindow window, int x, int y) {
        const char* boxes = "wmctrl -l | grep -v 'OpenGL Team Project' | awk '{print $NF}'";
        std::string caption;
        display.click(window, x, y);
        wait_until([&] { return !(caption = display.run(boxes)).empty(); }, 3);
        if (!caption.empty()) display.press_key(0, "Return");
        wait_until([&] { return display.run(boxes).empty(); }, 5);
        sleep_for(0.5);
        return caption;
    }
    XvfbDisplay display;
    ScratchDir dir{ScratchDir::with_pictures};
    ProgramRun run;
};

// The Sun's radius in pixels across and down from (x, y), counting lit pixels; the Sun's radius
// 0.6 at 22 units in a 45-degree field of view is 0.6 / 22 * (height / 2) / tan(22.5 degrees).
bool sun_drawn_at(const RgbPicture& shot, int x, int y, int client_height) {
    const double expected = 0.6 / 22 * client_height / 2 / std::tan(M_PI / 8);
    auto lit = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < shot.width && py < shot.height &&
               shot.pixel(px, py)[0] > 120 && shot.pixel(px, py)[1] > 120;
    };
    int across = 0, down = 0;
    while (lit(x + across + 1, y) && lit(x - across - 1, y)) ++across;
    while (lit(x, y + down + 1) && lit(x, y - down - 1)) ++down;
    return std::abs(across + 0.5 - expected) < 2 && std::abs(down + 0.5 - expected) < 2;
}
}  // namespace

TEST(DesktopEndToEnd, DecoratedWindowWithBoxesThatTakeTheKeyboardAndFreezeTheInput) {
    Desktop desktop("1280x1024x24");
    XvfbDisplay& display = desktop.display;
    const XWindow window = desktop.main_window();
    const WindowGeometry at = display.geometry(window).value_or(WindowGeometry{});
    EXPECT_EQ(std::vector<int>({at.width, at.height}), std::vector<int>({800, 600}));
    EXPECT_GT(at.y, 0) << "no title bar above the client area";
    ASSERT_TRUE(wait_until([&] { return sun_drawn_at(display.screenshot(window), 400, 300, 600); }))
        << desktop.run.output();

    // The box takes the keyboard from the window manager itself; Return closes it.
    display.click(window, 400, 300);
    XWindow box = display.find_window("태양");
    ASSERT_NE(box, 0u) << desktop.run.output();
    ASSERT_TRUE(desktop.close_box(box)) << "the box did not get the keyboard";

    // A second box, moved off the window: the window shows its picture again, frozen.
    display.click(window, 400, 300);
    box = display.find_window("태양");
    ASSERT_NE(box, 0u);
    display.run("xdotool windowmove " + std::to_string(box) + " 900 700");
    EXPECT_TRUE(wait_until([&] { return sun_drawn_at(display.screenshot(window), 400, 300, 600); }))
        << "the moved box left its image on the window";
    EXPECT_FALSE(desktop.changes_within(window, 0.7)) << "drawn while the box was open";
    const std::vector<std::uint8_t> rgb = display.screenshot(box).rgb;
    int text_pixels = 0;  // far brighter than the box's background in its corner
    for (size_t k = 0; k < rgb.size(); k += 3)
        text_pixels += rgb[k] + rgb[k + 1] + rgb[k + 2] > rgb[0] + rgb[1] + rgb[2] + 288;
    EXPECT_GE(text_pixels, 600) << "the box looks blank";

    // Input aimed at the frozen window, and the window manager's close request, come to nothing;
    // the window answers the window manager's pings all the while.
    display.click(window, 400, 300);
    display.press_key(window, "space");
    display.send_close_request(window);
    sleep_for(10);
    EXPECT_EQ(desktop.property(window, "_NET_WM_VISIBLE_NAME").find("Not Responding"),
              std::string::npos);
    ASSERT_TRUE(desktop.close_box(box, box));
    EXPECT_EQ(display.find_window("태양", 2), 0u) << "the click on the frozen window opened a box";
    EXPECT_TRUE(desktop.run.running()) << "the close request was kept";
    EXPECT_TRUE(desktop.changes_within(window, 5)) << "the space bar paused the animation";

    // Resized by the window manager, the picture fills the new client area undistorted.
    display.run("xdotool windowsize " + std::to_string(window) + " 1200 900");
    EXPECT_TRUE(wait_until([&] { return sun_drawn_at(display.screenshot(window), 600, 450, 900); }))
        << "the Sun is not at the centre of the resized window with a radius half as large again";

    // The window has the keyboard back without help.
    display.press_key_until(0, "Escape", [&] { return !desktop.run.running(); });
    EXPECT_EQ(desktop.run.wait_exit(), 0) << desktop.run.output();
}

// On a display of exactly 800x600 at 16 bits: F1, a box, Return; the window stays full screen.
TEST(DesktopEndToEnd, FullScreenSurvivesABoxAndKeepsTheKeyboard) {
    Desktop desktop("800x600x16");
    XvfbDisplay& display = desktop.display;
    const XWindow window = desktop.main_window();
    ASSERT_TRUE(display.press_key_until(0, "F1", [&] { return !display.exists(window); }));
    const XWindow full = desktop.main_window(window);
    ASSERT_TRUE(wait_until([&] { return sun_drawn_at(display.screenshot(full), 400, 300, 600); }));
    display.click(full, 400, 300);
    const XWindow box = display.find_window("태양");
    ASSERT_NE(box, 0u) << desktop.run.output();
    ASSERT_TRUE(desktop.close_box(box));
    const WindowGeometry at = display.geometry(full).value_or(WindowGeometry{});
    EXPECT_EQ(std::vector<int>({at.x, at.y, at.width, at.height}),
              std::vector<int>({0, 0, 800, 600}));
    EXPECT_NE(desktop.property(full, "WM_STATE").find("Normal"), std::string::npos);
    const std::string state = desktop.property(full, "_NET_WM_STATE");
    EXPECT_NE(state.find("FULLSCREEN"), std::string::npos) << state;
    EXPECT_EQ(state.find("HIDDEN"), std::string::npos) << state;
    EXPECT_TRUE(desktop.changes_within(full, 5)) << "the animation does not run on the screen";

    EXPECT_TRUE(display.press_key_until(0, "F1", [&] { return !display.exists(full); }))
        << "F1 did not reach the window";
    EXPECT_NE(desktop.main_window(full), 0u);
    display.press_key_until(0, "Escape", [&] { return !desktop.run.running(); });
    EXPECT_EQ(desktop.run.wait_exit(), 0) << desktop.run.output();
}

// The view turns by the pointer's travel inside the client area: a right-drag from x = 360 across
// the left edge turns it by 360 degrees (positions stop at 0), which leaves the scene as it was.
// Positions read past the edge would turn it otherwise: -60 read as the unsigned 65476 gives 44
// degrees too few, -60 read as such 60 too many. With the animation paused nothing is redrawn,
// but picking sees the current view: a click that hits a body before the drag hits it after.
TEST(DesktopEndToEnd, RightDragAcrossTheLeftEdgeTurnsNoFurtherThanThePointerWentInside) {
    Desktop desktop("1024x768x24");
    XvfbDisplay& display = desktop.display;
    const XWindow window = desktop.main_window();
    display.run("xdotool windowmove " + std::to_string(window) + " 150 100");
    ASSERT_TRUE(
        wait_until([&] { return sun_drawn_at(display.screenshot(window), 400, 300, 600); }));
    display.press_key(0, "space");
    sleep_for(0.5);

    // A body away from the Sun: the first pixel with 5x5 lit surroundings whose click opens a box.
    const RgbPicture shot = display.screenshot(window);
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

    display.move_pointer(window, 360, 560);
    display.button(3, true);
    display.move_pointer(window, 200, 560);
    display.move_pointer(window, -60, 560);
    sleep_for(0.3);
    display.button(3, false);  // outside: not seen, the drag goes on
    display.move_pointer(window, 0, 560);
    display.button(3, true);
    display.button(3, false);  // ends it without moving
    sleep_for(0.3);
    EXPECT_EQ(desktop.click_caption(window, probe_x, probe_y), caption)
        << "the drag turned the view by other than 360 degrees";

    // No 800x600 mode here: F1 asks, and Return (Yes) goes on windowed. The window manager's close
    // request ends the program with status 0.
    ASSERT_TRUE(display.press_key_until(0, "F1", [&] { return !display.exists(window); }));
    const XWindow question = display.find_window("2nd Term OpenGL Project");
    ASSERT_NE(question, 0u) << desktop.run.output();
    EXPECT_TRUE(desktop.close_box(question));
    const XWindow windowed = desktop.main_window(window);
    EXPECT_EQ(display.geometry(windowed).value_or(WindowGeometry{}).width, 800);
    display.send_close_request(windowed);
    EXPECT_EQ(desktop.run.wait_exit(), 0) << desktop.run.output();
}

// With no display at all the opening fails; its message goes to standard error and the exit is 0.
TEST(DesktopEndToEnd, WithoutADisplayTheMessageGoesToStandardError) {
    ScratchDir dir{ScratchDir::with_pictures};
    const std::string output =
        shell_output("cd '" + dir.path() +
                     "' && env -u DISPLAY -u WAYLAND_DISPLAY -u "
                     "SDL_VIDEODRIVER timeout 60 '" ORRERY_BINARY "' 2>&1; echo status $?");
    EXPECT_NE(output.find("ERROR: Window Creation Error.\nstatus 0"), std::string::npos) << output;
}
