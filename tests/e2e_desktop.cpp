// End to end on desktops: under Xvfb with openbox (decorations, the Sun's picture, boxes over a
// window and over full screen, the window manager's close request and pings, drags past the edge,
// resizing), without any display, and under weston through SDL's Wayland driver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>

#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
void sleep_for(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

bool wait_until(const std::function<bool()>& condition, double timeout_seconds = 20) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    for (; !condition(); sleep_for(0.05))
        if (std::chrono::steady_clock::now() >= deadline) return false;
    return true;
}

std::string shell_output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        pclose(pipe);
    }
    return output;
}

struct RgbPicture {  // 8-bit RGB triples, top row first
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* pixel(int x, int y) const { return &rgb[(y * width + x) * 3]; }
    int sum(int x, int y) const { return pixel(x, y)[0] + pixel(x, y)[1] + pixel(x, y)[2]; }
};

// The display's windows, their pictures and the input through Xlib and the X tools, and the
// program run on it with its output kept in a file.
struct XSession : XvfbDisplay {
    XSession(const char* screen, bool window_manager)
        : XvfbDisplay(screen), xlib(XOpenDisplay(name().c_str())) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // windows vanish under tests
        if (xlib != nullptr) XAutoRepeatOff(xlib), XSync(xlib, False);  // keys are held a while
        if (!window_manager) return;
        start({"openbox", "--sm-disable"});
        wait_until([&] { return wm::running(xlib); }, 60) && wm::frames_windows(xlib, 60);
    }
    ~XSession() {
        if (running() && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
        if (xlib != nullptr) XCloseDisplay(xlib);
    }
    void start_program(const std::string& dir, const std::vector<std::string>& environment = {}) {
        log = dir + "/output.log";
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT, 0600);
        pid = spawn({ORRERY_BINARY}, name(), dir, fd, environment);
        close(fd);
    }
    bool running() {
        int raw = 0;
        if (pid > 0 && !status && waitpid(pid, &raw, WNOHANG) == pid)
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
        return pid > 0 && !status;
    }
    std::optional<int> wait_exit() {
        return wait_until([this] { return !running(); }), status;
    }
    std::string output() { return shell_output("cat " + log); }
    std::string run(std::string command) {
        return shell_output("export DISPLAY=" + name() + "; " + command);
    }
    Window find_window(const std::string& search) {  // waits for a mapped one that xdotool finds
        const std::string sync = "timeout 60 xdotool search --sync --onlyvisible --limit 1 ";
        return std::strtoul(run(sync + search).c_str(), nullptr, 10);
    }
    std::vector<int> geometry(Window window) {  // the client area's x, y, width, height if mapped
        XWindowAttributes a{};
        Window child;
        int x = 0, y = 0;
        if (!xlib || !XGetWindowAttributes(xlib, window, &a) || a.map_state != IsViewable)
            return {};
        XTranslateCoordinates(xlib, window, a.root, 0, 0, &x, &y, &child);
        return {x, y, a.width, a.height};
    }
    RgbPicture screenshot(Window window) {  // empty on failure
        const std::vector<int> at = geometry(window);
        XImage* image =
            at.empty() ? nullptr : XGetImage(xlib, window, 0, 0, at[2], at[3], ~0ul, ZPixmap);
        if (image == nullptr) return {};
        RgbPicture picture{at[2], at[3], {}};
        for (int i = 0; i < at[2] * at[3]; ++i) {
            const unsigned long pixel = XGetPixel(image, i % at[2], i / at[2]);
            for (unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
                picture.rgb.push_back((pixel & mask) * 255 / mask);  // the channel in 8 bits
        }
        XDestroyImage(image);
        return picture;
    }
    // Through xdotool, whose key and button events come from XTest like a user's. A key is held
    // (the program reads keys in idle passes) a while or until `done`, which it returns; boxes act
    // on the release. A `target` of 0 leaves the keyboard focus where the window manager put it.
    bool press_key(Window target, const std::string& key, double seconds = 0.3,
                   const std::function<bool()>& done = {}) {
        const std::string focus = target ? "windowfocus " + std::to_string(target) + " " : "";
        run("xdotool " + focus + "keydown " + key);
        const bool held = wait_until([&] { return done && done(); }, seconds);
        return run("xdotool keyup " + key), held;
    }
    void pointer(Window window, int x, int y, const std::string& then = "") {  // client coordinates
        run("xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
            std::to_string(y) + " " + then);
    }
    void click(Window window, int x, int y) { pointer(window, x, y, "click 1"); }
    Display* xlib;
    std::string log;
    int pid = -1;
    std::optional<int> status;  // -N for signal N
};

// The program on a display of its own under openbox, with the planet pictures or without them.
struct Desktop : XSession {
    explicit Desktop(const char* screen, ScratchDir::Contents contents = ScratchDir::with_pictures)
        : XSession(screen, true), dir(contents) {
        start_program(dir.path(),
                      {"LC_ALL=", "LC_CTYPE=", "LANG="});  // no locale: C (empty = unset)
    }
    // The main window once openbox shows it; with `active`, once it has the keyboard as well
    // (openbox drops clicks until then; it may keep a new window from taking the keyboard, so it
    // is asked as a taskbar would).
    Window main_window(bool active = true) {
        wait_until([&] {
            for (Window w : wm::windows(xlib))
                if (wm::name(xlib, w) == "OpenGL Team Project" && !geometry(w).empty())
                    return window = w, true;
            return false;
        });
        if (active && wm::active(xlib) != window) wm::activate(xlib, window);
        if (active) wait_until([&] { return wm::active(xlib) == window; });
        return window;
    }
    std::vector<Window> boxes() {  // the other windows openbox manages, the bottom one first
        std::vector<Window> found;
        for (Window w : wm::windows(xlib))
            if (wm::name(xlib, w) != "OpenGL Team Project") found.push_back(w);
        return found;
    }
    std::string box_caption() {  // of the top one; "" if none
        const std::vector<Window> open = boxes();
        return open.empty() ? "" : wm::name(xlib, open.back());
    }
    // Whether the top box is transient for the main window and stacked above it.
    bool box_owned() {
        const std::vector<Window> all = wm::windows(xlib), open = boxes();
        const auto main = std::find(all.begin(), all.end(), window);
        return !open.empty() && wm::transient_for(xlib, open.back()) == window &&
               std::find(main, all.end(), open.back()) != all.end();
    }
    // Closes the top box by Return (`target` 0: where openbox puts the keyboard, once it has),
    // and waits for it to go, for the program to have seen it go (clicks that come earlier meet a
    // box time and are dropped: the box program, a child of the program, is collected then), and
    // for the keyboard to come to another window: a main window or the next box.
    bool close_box(Window target = 0) {
        const std::vector<Window> open = boxes();
        std::vector<int> shown_by;
        std::istringstream pids(shell_output("pgrep -P " + std::to_string(pid)));
        for (int child = 0; pids >> child;) shown_by.push_back(child);
        if (open.empty()) return false;
        if (target == 0) wait_until([&] { return wm::active(xlib) == open.back(); }, 5);
        press_key(target, "Return");
        return wait_until([&] {
            const std::vector<Window> all = wm::windows(xlib);
            const Window now = wm::active(xlib);
            for (int child : shown_by)
                if (kill(child, 0) == 0) return false;
            return std::find(all.begin(), all.end(), open.back()) == all.end() &&
                   std::find(all.begin(), all.end(), now) != all.end();
        });
    }
    // Clicks there: the caption of the box that opens within `wait` ("" if none), closed again.
    std::string click_caption(Window window, int x, int y, double wait = 20) {
        std::string caption;
        click(window, x, y);
        wait_until([&] { return !(caption = box_caption()).empty(); }, wait);
        return caption.empty() || close_box() ? caption : caption + " (stays open)";
    }
    // Whether the 9 x 9 pixels in the middle of the 800 x 600 main window, inside the Sun, show
    // about 255, 255, `blue`: Sun.bmp's mean colour is 255, 255, 165; untextured the Sun is white.
    bool centre_is(double blue) {
        const RgbPicture shot = screenshot(window);
        double mean[3] = {};
        for (int i = 0; i < 81 && shot.width >= 800 && shot.height >= 600; ++i)
            for (int c = 0; c < 3; ++c) mean[c] += shot.pixel(396 + i % 9, 296 + i / 9)[c] / 81.0;
        return std::hypot(mean[0] - 255, mean[1] - 255, mean[2] - blue) < 12;
    }
    // Waits for the Sun's disc centred on (x, y), as wide as high, with the radius that the
    // 45-degree field of view gives a radius of 0.6 at 22 units in a client area `height` high.
    bool shows_sun(Window window, int x, int y, int height) {
        const double expected = 0.6 / 22 * height / 2 / std::tan(M_PI / 8);
        RgbPicture shot;
        const auto lit = [&](int px, int py) {
            return px >= 0 && py >= 0 && px < shot.width && py < shot.height &&
                   shot.pixel(px, py)[0] > 120 && shot.pixel(px, py)[1] > 120;
        };
        return wait_until([&] {
            shot = screenshot(window);
            int across = 0, down = 0;
            while (lit(x + across + 1, y) && lit(x - across - 1, y)) ++across;
            while (lit(x, y + down + 1) && lit(x, y - down - 1)) ++down;
            return std::abs(across + 0.5 - expected) < 2 && std::abs(down + 0.5 - expected) < 2;
        });
    }
    bool changes_within(Window window, double seconds) {
        const RgbPicture first = screenshot(window);
        return wait_until([&] { return screenshot(window).rgb != first.rgb; }, seconds);
    }
    ScratchDir dir;
    Window window = 0;  // the last one main_window() found
};
}  // namespace

TEST(DesktopEndToEnd, DecoratedWindowFrozenUnderItsBoxesDraggedResizedAndEndedByASignal) {
    Desktop desktop("1280x1024x24");
    const Window window = desktop.main_window();
    const std::string id = std::to_string(window);
    std::vector<int> at;  // the window may be moved under its frame just after it is shown
    wait_until([&] { return (at = desktop.geometry(window)).size() == 4 && at[1] > 0; }, 5);
    ASSERT_EQ(at.size(), 4u) << desktop.output() << desktop.run("xwininfo -root -tree");
    EXPECT_EQ(std::vector<int>(at.begin() + 2, at.end()), std::vector<int>({800, 600}));
    EXPECT_GT(at[1], 0) << "no title bar above the client area";

    // The Sun shows its picture; F3 turns the picture off and on again.
    ASSERT_TRUE(wait_until([&] { return desktop.centre_is(165); })) << "the Sun is not its picture";
    ASSERT_TRUE(desktop.press_key(window, "F3", 20, [&] { return desktop.centre_is(255); }));
    ASSERT_TRUE(desktop.press_key(window, "F3", 20, [&] { return desktop.centre_is(165); }));
    ASSERT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << desktop.output();

    // The box, transient for the window and above it, takes the keyboard; Return closes it.
    desktop.click(window, 400, 300);
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "태양"; })) << desktop.output();
    EXPECT_TRUE(desktop.box_owned());
    ASSERT_TRUE(desktop.close_box()) << "the box kept no keyboard";

    // A second box, moved off the window: the window shows its picture again, and it is frozen.
    desktop.click(window, 400, 300);
    ASSERT_TRUE(wait_until([&] { return !desktop.boxes().empty(); }));
    const Window box = desktop.boxes().back();
    desktop.run("xdotool windowmove " + std::to_string(box) + " 900 700");
    EXPECT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << "the box left its image behind";
    EXPECT_FALSE(desktop.changes_within(window, 0.7)) << "drawn while the box was open";
    const RgbPicture text = desktop.screenshot(box);
    int text_pixels = 0;  // far brighter than the box's background in its corner
    for (int i = 0; i < text.width * text.height; ++i)
        text_pixels += text.sum(i % text.width, i / text.width) > text.sum(0, 0) + 288;
    EXPECT_GE(text_pixels, 600) << "the box looks blank";

    // A click and a key aimed at the frozen window and the window manager's close request come to
    // nothing; pings are answered all the while (openbox would call the window "Not Responding").
    desktop.click(window, 400, 300);
    desktop.press_key(window, "space");
    wm::request_close(desktop.xlib, window);
    EXPECT_TRUE(wm::answers_ping(desktop.xlib, window, 5)) << "no answer to a ping";
    ASSERT_TRUE(desktop.close_box(box));
    EXPECT_FALSE(wait_until([&] { return !desktop.boxes().empty(); }, 3))
        << "the click on the frozen window opened a box";
    EXPECT_TRUE(desktop.running()) << "the close request was kept";
    EXPECT_TRUE(desktop.changes_within(window, 5)) << "the space bar paused the animation";

    // A right-drag turns the view a degree for each pixel the pointer travels inside the client
    // area. Paused, nothing is drawn, but picking sees the view: a body hit before (a pixel away
    // from the Sun, 5x5 lit, whose click opens a box) is hit after unless the view turned.
    desktop.run("xdotool windowmove " + id + " 150 100");
    ASSERT_TRUE(desktop.shows_sun(window, 400, 300, 600));
    desktop.press_key(0, "space");
    ASSERT_FALSE(desktop.changes_within(window, 1)) << "the space bar did not pause";
    const RgbPicture shot = desktop.screenshot(window);
    int probe_x = 400, probe_y = 300;  // the last one tried
    std::string caption;
    for (int i = 0; i < 266 * 199 && caption.empty(); ++i) {
        const int x = 2 + i % 266 * 3, y = 2 + i / 266 * 3;
        bool lit = std::hypot(x - 400, y - 300) > 40 && std::hypot(x - probe_x, y - probe_y) > 20;
        for (int k = 0; k < 25 && lit; ++k) lit = shot.sum(x + k % 5 - 2, y + k / 5 - 2) > 120;
        if (lit) caption = desktop.click_caption(window, probe_x = x, probe_y = y, 3);
    }
    ASSERT_FALSE(caption.empty()) << "no body to click";
    // The window does not see a release outside it, so a drag from x = 200 out past the left
    // edge, released there, goes on when the pointer comes back to 200: it turns the view 200
    // degrees and back. A release seen outside would leave it turned.
    desktop.pointer(window, 200, 560,
                    "mousedown 3 mousemove_relative -- -160 0 mousemove_relative -- -100 0 "
                    "sleep 0.3 mouseup 3 mousemove --window " +
                        id + " 200 560 sleep 0.3 click 3");
    EXPECT_EQ(desktop.click_caption(window, probe_x, probe_y), caption)
        << "the drag left the view turned";
    // A right button released while a box is open ends the drag: the moves after the box, 130
    // pixels in all, leave the view as it was.
    desktop.pointer(window, probe_x, probe_y, "mousedown 3 click 1");
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == caption; }));
    desktop.run("xdotool mouseup 3");
    ASSERT_TRUE(desktop.close_box());
    desktop.pointer(window, probe_x, probe_y,
                    "mousemove_relative -- 80 0 mousemove_relative -- -30 40 sleep 0.3");
    EXPECT_EQ(desktop.click_caption(window, probe_x, probe_y), caption)
        << "the release during the box was lost: the view turned after it";

    // Still paused and resized by the window manager: the picture fills the window, undistorted,
    // the Sun in its new centre.
    desktop.run("xdotool windowmove " + id + " 0 0 windowsize " + id + " 1000 800");
    EXPECT_TRUE(desktop.shows_sun(window, 500, 400, 800)) << "paused picture not redrawn";
    desktop.press_key(0, "space");

    // No 800x600 mode here: F1 asks, Return (Yes) goes on windowed.
    ASSERT_TRUE(desktop.press_key(0, "F1", 20, [&] { return desktop.geometry(window).empty(); }));
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "2nd Term OpenGL Project"; }));
    ASSERT_TRUE(desktop.close_box()) << desktop.output();
    const Window windowed = desktop.main_window();
    EXPECT_EQ(desktop.geometry(windowed).at(2), 800);

    // SIGTERM while a box is open closes the box and ends the program with status 0.
    ASSERT_TRUE(desktop.shows_sun(windowed, 400, 300, 600));
    desktop.click(windowed, 400, 300);
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "태양"; }));
    kill(desktop.pid, SIGTERM);
    EXPECT_EQ(desktop.wait_exit(), 0) << desktop.output();
    EXPECT_TRUE(wait_until([&] { return wm::windows(desktop.xlib).empty(); }))
        << "left on the screen: " << desktop.box_caption();
}

// Started in a folder without its pictures: one box for each of the thirteen, each transient for
// the main window, and then SIGINT (as Ctrl+C sends) ends the program during F1's question.
TEST(DesktopEndToEnd, ThirteenMissingPicturesThenAnInterruptDuringAQuestion) {
    Desktop desktop("1024x768x24", ScratchDir::empty);
    desktop.main_window(false);
    for (int shown = 0; shown < 13; ++shown) {
        ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "Error"; }))
            << shown << " boxes, then " << desktop.box_caption() << desktop.output();
        EXPECT_TRUE(desktop.box_owned()) << "box " << shown + 1;
        ASSERT_TRUE(desktop.close_box()) << "box " << shown + 1 << " stays";
    }
    // No 800x600 mode on this screen: F1 asks whether to go on windowed.
    ASSERT_TRUE(desktop.press_key(0, "F1", 20, [&] { return !desktop.boxes().empty(); }));
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "2nd Term OpenGL Project"; }))
        << desktop.box_caption();
    kill(desktop.pid, SIGINT);
    EXPECT_EQ(desktop.wait_exit(), 0) << desktop.output();
    EXPECT_TRUE(wait_until([&] { return wm::windows(desktop.xlib).empty(); }))
        << "left on the screen: " << desktop.box_caption();
}

// On a display of exactly 800x600 at 16 bits: F1, a box, Return; the window stays full screen. F1
// again, and the close request ends the program.
TEST(DesktopEndToEnd, FullScreenSurvivesABoxAndKeepsTheKeyboard) {
    Desktop desktop("800x600x16");
    const Window window = desktop.main_window();
    ASSERT_TRUE(desktop.press_key(0, "F1", 20, [&] { return desktop.geometry(window).empty(); }));
    const Window full = desktop.main_window(false);
    ASSERT_TRUE(desktop.shows_sun(full, 400, 300, 600));
    ASSERT_EQ(desktop.click_caption(full, 400, 300), "태양") << desktop.output();
    EXPECT_EQ(desktop.geometry(full), std::vector<int>({0, 0, 800, 600}));
    const std::string state =
        desktop.run("xprop -id " + std::to_string(full) + " WM_STATE _NET_WM_STATE");
    EXPECT_NE(state.find("Normal"), std::string::npos) << state;
    EXPECT_NE(state.find("FULLSCREEN"), std::string::npos) << state;
    EXPECT_EQ(state.find("HIDDEN"), std::string::npos) << state;
    EXPECT_TRUE(desktop.changes_within(full, 5)) << "the animation does not run on the screen";
    EXPECT_TRUE(desktop.press_key(0, "F1", 20, [&] { return desktop.geometry(full).empty(); }));
    // Windowed again; the window manager's close request ends the program with status 0.
    wm::request_close(desktop.xlib, desktop.main_window());
    EXPECT_EQ(desktop.wait_exit(), 0) << desktop.output();
}

// With no display at all the opening fails; its message goes to standard error and the exit is 0.
TEST(DesktopEndToEnd, WithoutADisplayTheMessageGoesToStandardError) {
    const std::string output =
        shell_output("cd '" ORRERY_TEXTURE_DIR
                     "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                     "timeout 60 '" ORRERY_BINARY "' 2>&1; echo status $?");
    EXPECT_NE(output.find("ERROR: Window Creation Error.\nstatus 0"), std::string::npos) << output;
}

// Weston's X11 back end nested in Xvfb: its output is an X window, which gets the screenshots and
// the input. The median of the pale yellow pixels is the Sun's centre (it outnumbers any planet).
TEST(WaylandEndToEnd, DrawsSurvivesTwoF1SwitchesShowsABoxAndEndsOnEscape) {
    XSession display("1024x768x24", false);
    ScratchDir runtime, dir(ScratchDir::with_pictures);  // the runtime directory is private (700)
    const std::string socket = "orrery-e2e-" + std::to_string(getpid());
    display.start({"weston", "--backend=x11-backend.so", "--width=1000", "--height=700",
                   "--socket=" + socket},
                  {"XDG_RUNTIME_DIR=" + runtime.path()});
    const Window output = display.find_window("--class '^Weston Compositor$'");
    // Weston's shell draws its background once it is up. Weston has the keyboard before the
    // program's window comes: a window that comes earlier can lose it again.
    ASSERT_TRUE(wait_until([&] {
        const RgbPicture shot = display.screenshot(output);
        return shot.width >= 1000 && shot.pixel(500, 350)[0] + shot.pixel(500, 350)[1] > 150;
    }));
    display.run("xdotool windowfocus " + std::to_string(output));
    display.start_program(dir.path(), {"XDG_RUNTIME_DIR=" + runtime.path(),
                                       "WAYLAND_DISPLAY=" + socket, "SDL_VIDEODRIVER=wayland"});
    int sun_x = -1, sun_y = -1, corners = 0;  // corners: how many of the output's are black
    auto look = [&] {
        const RgbPicture shot = display.screenshot(output);
        std::vector<int> xs, ys;  // ys in order
        for (int i = 0; i < shot.width * shot.height; ++i) {
            const std::uint8_t* p = shot.pixel(i % shot.width, i / shot.width);
            if (p[0] > 200 && p[1] > 200 && p[2] < p[0] - 40)
                xs.push_back(i % shot.width), ys.push_back(i / shot.width);
        }
        std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
        sun_x = xs.size() > 400 ? xs[xs.size() / 2] : -1;
        sun_y = xs.size() > 400 ? ys[ys.size() / 2] : -1;
        corners = 0;
        for (int k = 0; k < 4 && shot.width >= 1000; ++k)
            corners += shot.sum(k % 2 ? 995 : 4, k / 2 ? 695 : 4) < 60;
    };
    ASSERT_TRUE(wait_until([&] { return look(), sun_x >= 0; })) << display.output();

    // Weston gives a window the keyboard a moment after it appears, and passes on no key held
    // meanwhile: keys are tapped every two seconds until they act.
    auto tap_until = [&](const char* key, const std::function<bool()>& done) {
        for (int taps = 0; taps < 10; ++taps)
            if (display.press_key(output, key, 0.05), wait_until(done, 2)) return true;
        return false;
    };
    // Full screen covers the whole output, the panel and the background in its corners too.
    EXPECT_TRUE(tap_until("F1", [&] { return look(), corners == 4; }));
    EXPECT_TRUE(tap_until("F1", [&] { return look(), corners < 4 && sun_x >= 0; }));
    ASSERT_TRUE(display.running()) << display.output();

    // SDL shows the box through zenity, here a child of the box program, with the caption on its
    // command line. Weston follows the pointer once it has come into its window.
    display.run("xdotool mousemove 1010 710 mousemove --window " + std::to_string(output) + " " +
                std::to_string(sun_x) + " " + std::to_string(sun_y) + " click 1");
    const std::string children = "pgrep -a -P " + std::to_string(display.pid);
    // Its command line as it is (pgrep -a shows the Korean as question marks in the C locale).
    const std::string zenity = "for box in $(pgrep -P " + std::to_string(display.pid) +
                               "); do for z in $(pgrep -P $box '^zenity$'); do "
                               "tr '\\0' ' ' </proc/$z/cmdline; done; done";
    EXPECT_TRUE(wait_until([&] { return display.run(zenity).find("태양") != std::string::npos; }))
        << display.run(children);
    EXPECT_TRUE(tap_until("Return", [&] { return display.run(children).empty(); }));
    EXPECT_TRUE(tap_until("Escape", [&] { return !display.running(); }));
    EXPECT_EQ(display.wait_exit(), 0) << display.output();
}
