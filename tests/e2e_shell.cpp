// End-to-end tests of the shell: the real program under Xvfb, its window, exits and F1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/x11_harness.h"

// The program on its own display, in a directory with the planet pictures.
struct Session {
    explicit Session(const char* screen) : display(screen), run(display, dir.path()) {}

    // The main window (not `except`), which must cover 800x600 at the origin.
    XWindow main_window(XWindow except = 0) {
        XWindow window = display.find_window("OpenGL Team Project", 20, except);
        WindowGeometry at = display.geometry(window).value_or(WindowGeometry{-1, -1, -1, -1});
        EXPECT_EQ(std::vector<int>({at.x, at.y, at.width, at.height}),
                  std::vector<int>({0, 0, 800, 600}))
            << run.output();
        return window;
    }
    // Holds the key until its window has gone: the program ended, or F1 re-opened.
    bool press_until_gone(XWindow window, const char* key) {
        return window != 0 &&
               display.press_key_until(window, key, [&] { return !display.exists(window); });
    }

    XvfbDisplay display;
    ScratchDir dir{ScratchDir::with_pictures};
    ProgramRun run;
};

TEST(ShellEndToEnd, CloseRequestEndsWithZero) {
    Session session("1024x768x24");
    session.display.send_close_request(session.main_window());
    EXPECT_EQ(session.run.wait_exit(), 0) << session.run.output();
}

// No 800x600 mode here: F1's question, Return (Yes) goes on windowed, Escape ends with 0.
TEST(ShellEndToEnd, RefusedFullScreenAnsweredYesContinuesWindowedUntilEscape) {
    Session session("1024x768x24");
    XWindow window = session.main_window();
    ASSERT_TRUE(session.press_until_gone(window, "F1"));
    XWindow box = session.display.find_window("2nd Term OpenGL Project");
    ASSERT_NE(box, 0u) << session.run.output();
    session.display.press_key(box, "Return");
    EXPECT_TRUE(session.display.wait_window_gone(box));
    EXPECT_TRUE(session.press_until_gone(session.main_window(window), "Escape"));
    EXPECT_EQ(session.run.wait_exit(), 0) << session.run.output();
}

// Exactly 800x600 here: no question, full screen and back.
TEST(ShellEndToEnd, F1SwitchesToFullScreenAndBack) {
    Session session("800x600x16");
    XWindow window = session.main_window();
    ASSERT_TRUE(session.press_until_gone(window, "F1"));
    XWindow full_screen = session.main_window(window);
    EXPECT_EQ(session.display.find_window("2nd Term OpenGL Project", 0), 0u);
    ASSERT_TRUE(session.press_until_gone(full_screen, "F1"));
    session.main_window(full_screen);
}

// With no display at all the opening fails; its message goes to standard error and the exit is 0.
TEST(ShellEndToEnd, WithoutADisplayTheMessageGoesToStandardError) {
    ScratchDir dir{ScratchDir::with_pictures};
    const std::string command = "cd '" + dir.path() +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                "timeout 60 '" ORRERY_BINARY "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) output += chunk;
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(output.find("ERROR: Window Creation Error.\n"), std::string::npos) << output;
}
