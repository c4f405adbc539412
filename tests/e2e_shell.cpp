// End-to-end tests of the application shell: the real program under Xvfb,
// its window, the ways it ends and the switch to full screen and back.
#include <gtest/gtest.h>

#include "support/x11_harness.h"

static const char* const main_title = "OpenGL Team Project";
static const char* const fallback_caption = "2nd Term OpenGL Project";

// The program started on its own display, in a directory holding the planet
// pictures so that no bitmap error box appears.
struct Session {
    explicit Session(const char* screen) : display(screen), run(display, dir.path()) {}

    XWindow main_window(XWindow except = 0) { return display.find_window(main_title, 20, except); }
    // Holds the key until the window it was sent to has gone.
    bool press_until_gone(XWindow window, const char* key) {
        return display.press_key_until(window, key, [&] { return !display.exists(window); });
    }
    bool escape_exits_zero(XWindow window) {
        display.press_key_until(window, "Escape", [&] { return !run.running(); });
        return run.wait_exit() == 0;
    }

    XvfbDisplay display;
    ScratchDir dir{ScratchDir::with_pictures};
    ProgramRun run;
};

static void expect_covers_800x600_at_origin(XvfbDisplay& display, XWindow window) {
    std::optional<WindowGeometry> geometry = display.geometry(window);
    ASSERT_TRUE(geometry.has_value());
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 800);
    EXPECT_EQ(geometry->height, 600);
}

TEST(ShellEndToEnd, OpensTitledWindowAtOriginAndEscapeExitsZero) {
    Session session("1024x768x24");
    ASSERT_TRUE(session.display.ok());
    ASSERT_TRUE(session.run.started());
    XWindow window = session.main_window();
    ASSERT_NE(window, 0u) << session.run.output();
    expect_covers_800x600_at_origin(session.display, window);

    EXPECT_TRUE(session.escape_exits_zero(window)) << session.run.output();
}

TEST(ShellEndToEnd, CloseRequestExitsZero) {
    Session session("1024x768x24");
    XWindow window = session.main_window();
    ASSERT_NE(window, 0u) << session.run.output();
    session.display.send_close_request(window);
    EXPECT_EQ(session.run.wait_exit(), 0) << session.run.output();
}

TEST(ShellEndToEnd, RefusedFullScreenAnsweredYesContinuesWindowed) {
    Session session("1024x768x24");  // offers no 800x600 mode
    XWindow window = session.main_window();
    ASSERT_NE(window, 0u) << session.run.output();

    ASSERT_TRUE(session.press_until_gone(window, "F1"));
    XWindow box = session.display.find_window(fallback_caption);
    ASSERT_NE(box, 0u) << session.run.output();
    // The box acts on the release of Return, its default button (Yes).
    session.display.press_key(box, "Return");
    EXPECT_TRUE(session.display.wait_window_gone(box));

    XWindow windowed = session.main_window(window);
    ASSERT_NE(windowed, 0u) << session.run.output();
    expect_covers_800x600_at_origin(session.display, windowed);
    EXPECT_TRUE(session.escape_exits_zero(windowed)) << session.run.output();
}

TEST(ShellEndToEnd, F1SwitchesToFullScreenAndBack) {
    Session session("800x600x16");  // offers exactly the 800x600 mode
    XWindow window = session.main_window();
    ASSERT_NE(window, 0u) << session.run.output();

    ASSERT_TRUE(session.press_until_gone(window, "F1"));
    XWindow full_screen = session.main_window(window);
    ASSERT_NE(full_screen, 0u) << session.run.output();
    expect_covers_800x600_at_origin(session.display, full_screen);
    EXPECT_EQ(session.display.find_window(fallback_caption, 0), 0u);

    ASSERT_TRUE(session.press_until_gone(full_screen, "F1"));
    XWindow windowed = session.main_window(full_screen);
    ASSERT_NE(windowed, 0u) << session.run.output();
    expect_covers_800x600_at_origin(session.display, windowed);
    EXPECT_TRUE(session.escape_exits_zero(windowed)) << session.run.output();
}
