// End to end on desktops: the real program under Xvfb with openbox (decorations, the Sun's
// picture, boxes, the window manager's close request and pings, drags past the edge, resizing,
// quit signals), without any display, and under weston through SDL's Wayland driver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
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
    std::string rgb;
    int at(int x, int y, int c) const { return std::uint8_t(rgb[(y * width + x) * 3 + c]); }
    int sum(int x, int y) const { return at(x, y, 0) + at(x, y, 1) + at(x, y, 2); }
};

const char* const title = "OpenGL Team Project";

// The program in a folder of its own, on a 24-bit display of its own under openbox (or, for
// weston, without a window manager), seen through Xlib and the X tools; its output in a file.
struct Desktop : XvfbDisplay {
    Desktop(const char* screen, ScratchDir::Contents contents, bool openbox = true)
        : XvfbDisplay(screen), dir(contents), xlib(XOpenDisplay(name().c_str())) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // windows vanish under tests
        XAutoRepeatOff(xlib), XSync(xlib, False);                    // keys are held a while
        if (!openbox) return;  // else wait until openbox is up: it frames no window mapped before
        start({"openbox", "--sm-disable", "--startup", "touch " + dir.path() + "/openbox-up"});
        wait_until([&] { return std::filesystem::exists(dir.path() + "/openbox-up"); }, 60);
    }
    ~Desktop() {
        if (running() && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
        XCloseDisplay(xlib);
    }
    void start_program(const std::vector<std::string>& environment = {
                           "LC_ALL=", "LC_CTYPE=", "LANG="}) {  // C locale
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT, 0600);
        pid = spawn({ORRERY_BINARY}, name(), dir.path(), fd, environment);
        close(fd);
    }
    bool running() {
        int raw = 0;
        if (pid > 0 && !status && waitpid(pid, &raw, WNOHANG) == pid)
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
        return pid > 0 && !status;
    }
    std::optional<int> wait_exit() {
        return wait_until([&] { return !running(); }), status;
    }
    std::string output() { return shell_output("cat " + log); }
    std::string run(const std::string& command) {
        return shell_output("export DISPLAY=" + name() + "; " + command);
    }
    std::vector<int> geometry(Window window) {  // the client area's x, y, width, height if mapped
        XWindowAttributes a{};
        Window child;
        int x = 0, y = 0;
        if (!XGetWindowAttributes(xlib, window, &a) || a.map_state != IsViewable) return {};
        XTranslateCoordinates(xlib, window, a.root, 0, 0, &x, &y, &child);
        return {x, y, a.width, a.height};
    }
    RgbPicture screenshot(Window window) {  // empty on failure
        const std::vector<int> at = geometry(window);
        XImage* image =
            at.empty() ? nullptr : XGetImage(xlib, window, 0, 0, at[2], at[3], ~0ul, ZPixmap);
        if (image == nullptr) return {};
        RgbPicture picture{at[2], at[3], {}};
        for (int i = 0; i < at[2] * at[3]; ++i)
            for (int shift : {16, 8, 0})  // red, green, blue in a 24-bit pixel
                picture.rgb += char(XGetPixel(image, i % at[2], i / at[2]) >> shift);
        XDestroyImage(image);
        return picture;
    }
    bool changes_within(Window window, double seconds) {
        const RgbPicture first = screenshot(window);
        return wait_until([&] { return screenshot(window).rgb != first.rgb; }, seconds);
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
    void pointer(Window window, int x, int y, const std::string& then) {  // client coordinates
        run("xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
            std::to_string(y) + " " + then);
    }
    std::vector<Window> windows(Window of = 0, const char* property = "_NET_CLIENT_LIST_STACKING") {
        return wm::windows(xlib, of ? of : DefaultRootWindow(xlib), property);  // bottom first
    }
    bool active(Window window) {  // has the keyboard, as openbox says
        return windows(0, "_NET_ACTIVE_WINDOW") == std::vector<Window>{window};
    }
    // The main window once openbox shows it; with `keyboard`, once it has the keyboard as well
    // (openbox drops clicks until then, and may keep a new window from taking the keyboard: it
    // is asked as a taskbar would).
    Window main_window(bool keyboard = true) {
        wait_until([&] {
            for (Window w : windows())
                if (wm::name(xlib, w) == title && !geometry(w).empty()) return window = w, true;
            return false;
        });
        if (keyboard && !active(window)) run("xdotool windowactivate " + std::to_string(window));
        if (keyboard) wait_until([&] { return active(window); });
        return window;
    }
    Window box() {  // the top window that openbox manages besides the main one, 0 if none
        const std::vector<Window> all = windows();
        for (auto w = all.rbegin(); w != all.rend(); ++w)
            if (wm::name(xlib, *w) != title) return *w;
        return 0;
    }
    std::string box_caption() { return box() ? wm::name(xlib, box()) : ""; }
    bool box_owned() {  // whether the top box is transient for the main window and above it
        const std::vector<Window> all = windows();
        return box() && windows(box(), "WM_TRANSIENT_FOR") == std::vector<Window>{window} &&
               std::find(std::find(all.begin(), all.end(), window), all.end(), box()) != all.end();
    }
    // Closes the top box by Return (`target` 0: where openbox puts the keyboard once it has, else
    // the box) and waits for it to go, for the program to have collected the box program that
    // showed it (clicks that come earlier meet a box time and are dropped), and for the keyboard
    // to come to another window: a main window or the next box.
    bool close_box(Window target = 0) {
        const Window open = box();
        const std::string shown_by = shell_output("pgrep -d, -P " + std::to_string(pid));
        if (target == 0 && !wait_until([&] { return active(open); })) target = open;
        press_key(target, "Return");
        return open && wait_until([&] {
                   const std::vector<Window> all = windows();
                   return shell_output("ps -o pid= -p " + shown_by).empty() &&
                          std::count(all.begin(), all.end(), open) == 0 &&
                          std::any_of(all.begin(), all.end(), [&](Window w) { return active(w); });
               });
    }
    // Waits for the Sun's disc centred on (x, y), as wide as high, with the radius that the
    // 45-degree field of view gives a radius of 0.6 at 22 units in a client area `height` high,
    // and its 9 x 9 pixels in the middle about 255, 255, 165: Sun.bmp's mean colour.
    bool shows_sun(Window window, int x, int y, int height) {
        const double expected = 0.6 / 22 * height / 2 / std::tan(M_PI / 8);
        RgbPicture shot;
        const auto lit = [&](int px, int py) {
            return px >= 0 && py >= 0 && px < shot.width && py < shot.height &&
                   shot.at(px, py, 0) > 120 && shot.at(px, py, 1) > 120;
        };
        return wait_until([&] {
            shot = screenshot(window);
            int across = 0, down = 0;
            double mean[3] = {};
            while (lit(x + across + 1, y) && lit(x - across - 1, y)) ++across;
            while (lit(x, y + down + 1) && lit(x, y - down - 1)) ++down;
            for (int i = 0; i < 81 * 3 && across > 4 && down > 4; ++i)
                mean[i % 3] += shot.at(x - 4 + i / 3 % 9, y - 4 + i / 27, i % 3) / 81.0;
            return std::abs(across + 0.5 - expected) < 2 && std::abs(down + 0.5 - expected) < 2 &&
                   std::hypot(mean[0] - 255, mean[1] - 255, mean[2] - 165) < 12;
        });
    }
    // Pale yellow pixels, as on the Sun's disc, in the square of 2 * half + 1 round (x, y): a
    // planet may stand in front of a disc that no longer moves.
    int yellow(Window window, int x, int y, int half) {
        const RgbPicture shot = screenshot(window);
        int count = 0, side = 2 * half + 1;
        for (int i = 0; i < side * side && shot.width > x + half && shot.height > y + half; ++i) {
            const int px = x - half + i % side, py = y - half + i / side;
            count += shot.at(px, py, 1) > 120 && shot.at(px, py, 2) < shot.at(px, py, 0) - 40;
        }
        return count;
    }
    ScratchDir dir;
    Display* xlib;
    Window window = 0;  // the last main window that main_window() found
    std::string log = dir.path() + "/output.log";
    int pid = -1;
    std::optional<int> status;  // -N for signal N
};
}  // namespace

TEST(DesktopEndToEnd, DecoratedWindowFrozenUnderItsBoxesDraggedResizedAndEndedByASignal) {
    // Started without its pictures: a box for each of the thirteen, each owned by the window.
    Desktop desktop("1280x1024x24", ScratchDir::empty);
    desktop.start_program();
    desktop.main_window(false);
    for (int shown = 0; shown < 13; ++shown) {
        ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "Error"; }))
            << shown << " boxes, then " << desktop.box_caption() << desktop.output();
        EXPECT_TRUE(desktop.box_owned()) << "box " << shown + 1;
        ASSERT_TRUE(desktop.close_box()) << "box " << shown + 1 << " stays";
    }
    // With the pictures there, F1 (no 800x600 mode: it asks), Return (Yes): a new window, which
    // loads them, decorated and 800x600.
    std::filesystem::copy(ORRERY_TEXTURE_DIR, desktop.dir.path());
    ASSERT_TRUE(desktop.press_key(0, "F1", 20, [&] { return desktop.box() != 0; }));
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "2nd Term OpenGL Project"; }));
    desktop.close_box();  // the new window may come without the keyboard: main_window() asks
    const Window window = desktop.main_window();
    const std::string id = std::to_string(window);
    std::vector<int> at;  // the window may be moved under its frame just after it is shown
    wait_until([&] { return (at = desktop.geometry(window)).size() == 4 && at[1] > 0; }, 5);
    ASSERT_EQ(at.size(), 4u) << desktop.output() << desktop.run("xwininfo -root -tree");
    EXPECT_EQ(std::vector<int>(at.begin() + 2, at.end()), std::vector<int>({800, 600}));
    EXPECT_GT(at[1], 0) << "no title bar above the client area";
    desktop.run("xdotool windowmove " + id + " 100 60");  // with room for a box and a drag
    ASSERT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << desktop.output();
    // So it does on GLU's spheres (F5; whether F5 switches is the shell test's business): lit
    // from inside, the Sun would be dark. F5 again goes back to the program's own spheres.
    desktop.press_key(window, "F5");
    EXPECT_TRUE(desktop.shows_sun(window, 400, 300, 600)) << "the Sun on GLU's sphere";
    desktop.press_key(window, "F5");

    // The box, transient for the window and above it, takes the keyboard; the window is frozen.
    desktop.pointer(window, 400, 300, "click 1");
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "태양"; })) << desktop.output();
    const Window box = desktop.box();
    EXPECT_TRUE(desktop.box_owned());
    EXPECT_TRUE(wait_until([&] { return desktop.active(box); }, 5)) << "the box kept no keyboard";
    // Moved off the window, the box leaves its picture whole: most of the Sun's disc (radius 19.75,
    // 1,226 pixels) is yellow.
    desktop.run("xdotool windowmove " + std::to_string(box) + " 920 720");
    EXPECT_TRUE(wait_until([&] { return desktop.yellow(window, 400, 300, 20) > 900; }))
        << "the box left its image behind";
    EXPECT_FALSE(desktop.changes_within(window, 0.7)) << "drawn while the box was open";
    const RgbPicture text = desktop.screenshot(box);
    int text_pixels = 0;  // far brighter than the box's background in its corner
    for (int i = 0; i < text.width * text.height; ++i)
        text_pixels += text.sum(i % text.width, i / text.width) > text.sum(0, 0) + 288;
    EXPECT_GE(text_pixels, 600) << "the box looks blank";

    // A click, the space bar and openbox's close key (Alt+F4) aimed at the frozen window come to
    // nothing. Pings are answered all the while: openbox pings a window it asks to close, and
    // calls it "Not Responding" after about 6 s without an answer. Return closes the box.
    desktop.pointer(window, 400, 300, "click 1");
    desktop.press_key(window, "space");
    desktop.press_key(window, "alt+F4");
    const auto not_responding = [&] {
        const std::string name = desktop.run("xprop -id " + id + " _NET_WM_VISIBLE_NAME");
        return name.find("Not Responding") != std::string::npos;
    };
    EXPECT_FALSE(wait_until(not_responding, 9)) << "no answer to a ping";
    ASSERT_TRUE(desktop.close_box(box));
    EXPECT_FALSE(wait_until([&] { return desktop.box() != 0; }, 3)) << "the click opened a box";
    EXPECT_TRUE(desktop.running()) << "the close request was kept";
    EXPECT_TRUE(desktop.changes_within(window, 5)) << "the space bar paused the animation";

    // Paused, nothing is drawn but after a size change: resized by the window manager, the picture
    // fills the window, the Sun in its new centre with a radius of 26.34 (2,179 pixels); back at
    // 800x600 it is the paused picture again unless the view turned (a degree for each pixel of a
    // right-drag).
    desktop.press_key(0, "space");
    ASSERT_FALSE(desktop.changes_within(window, 1)) << "the space bar did not pause";
    const RgbPicture paused = desktop.screenshot(window);
    // The window does not see a release outside it, so a drag from x = 200 out past the left
    // edge, released there, goes on when the pointer comes back to 200: it turns the view 200
    // degrees and back. A release seen outside would leave it turned.
    desktop.pointer(window, 200, 560,
                    "mousedown 3 mousemove_relative -- -160 0 mousemove_relative -- -100 0 "
                    "sleep 0.3 mouseup 3 mousemove --window " +
                        id + " 200 560 sleep 0.3 click 3");
    desktop.run("xdotool windowsize " + id + " 1000 800");
    EXPECT_TRUE(wait_until([&] { return desktop.yellow(window, 500, 400, 27) > 1600; }))
        << "paused picture not redrawn";
    desktop.run("xdotool windowsize " + id + " 800 600");
    EXPECT_TRUE(wait_until([&] { return desktop.screenshot(window).rgb == paused.rgb; }))
        << "the drag left the view turned";

    // A quit signal during F1's question closes it (the answer is No) and ends the program with
    // status 0; the closing box that No brings goes to standard error only.
    ASSERT_TRUE(desktop.press_key(0, "F1", 20, [&] { return desktop.box() != 0; }));
    ASSERT_TRUE(wait_until([&] { return desktop.box_caption() == "2nd Term OpenGL Project"; }));
    kill(desktop.pid, SIGTERM);
    EXPECT_EQ(desktop.wait_exit(), 0) << desktop.output();
    EXPECT_TRUE(wait_until([&] { return desktop.windows().empty(); })) << desktop.box_caption();
    EXPECT_NE(desktop.output().find("ERROR: Program Will Now Close.\n"), std::string::npos)
        << desktop.output();
}

// Weston's X11 back end nested in Xvfb: its output is an X window, which gets the screenshots and
// the input. The median of the pale yellow pixels is the Sun's centre (it outnumbers any planet).
TEST(WaylandEndToEnd, DrawsGoesFullScreenUnderABoxAndBackAndEndsOnEscape) {
    // First, with no display at all: the opening fails, its message goes to standard error and
    // the exit status is 0.
    EXPECT_NE(shell_output("cd '" ORRERY_TEXTURE_DIR "' && env -u DISPLAY -u WAYLAND_DISPLAY -u "
                           "SDL_VIDEODRIVER timeout 60 '" ORRERY_BINARY "' 2>&1; echo status $?")
                  .find("ERROR: Window Creation Error.\nstatus 0"),
              std::string::npos);
    Desktop display("1024x768x24", ScratchDir::with_pictures, false);
    ScratchDir runtime;  // the runtime directory is private (700)
    const std::string socket = "orrery-e2e-" + std::to_string(getpid());
    const std::vector<std::string> wayland = {"XDG_RUNTIME_DIR=" + runtime.path(),
                                              "WAYLAND_DISPLAY=" + socket};
    display.start({"weston", "--backend=x11-backend.so", "--width=1000", "--height=700",
                   "--socket=" + socket},
                  {wayland[0]});
    const Window output =
        std::stoul("0" + display.run("timeout 60 xdotool search --sync "
                                     "--onlyvisible --class '^Weston Compositor$'"));
    // Weston's shell draws its background once it is up. Weston has the keyboard before the
    // program's window comes: a window that comes earlier can lose it again.
    ASSERT_TRUE(wait_until([&] {
        const RgbPicture shot = display.screenshot(output);
        return shot.width >= 1000 && shot.at(500, 350, 0) + shot.at(500, 350, 1) > 150;
    }));
    display.run("xdotool windowfocus " + std::to_string(output));
    display.start_program({wayland[0], wayland[1], "SDL_VIDEODRIVER=wayland"});
    int sun_x = -1, sun_y = -1, corners = 0;  // corners: how many of the output's are black
    auto look = [&] {
        const RgbPicture shot = display.screenshot(output);
        std::vector<int> xs, ys;  // ys in order
        for (int i = 0; i < shot.width * shot.height; ++i) {
            const int x = i % shot.width, y = i / shot.width, red = shot.at(x, y, 0);
            if (red > 200 && shot.at(x, y, 1) > 200 && shot.at(x, y, 2) < red - 40)
                xs.push_back(x), ys.push_back(y);
        }
        std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
        sun_x = xs.size() > 400 ? xs[xs.size() / 2] : -1;
        sun_y = xs.size() > 400 ? ys[ys.size() / 2] : -1;
        corners = 0;
        for (int k = 0; k < 4 && shot.width >= 1000; ++k)
            corners += shot.sum(k % 2 ? 995 : 4, k / 2 ? 695 : 4) < 60;
        return sun_x >= 0;
    };
    ASSERT_TRUE(wait_until(look)) << display.output();

    // Weston gives a window the keyboard a moment after it appears, and passes on no key held
    // meanwhile: keys are tapped every two seconds until they act.
    auto tap_until = [&](const char* key, const std::function<bool()>& done) {
        for (int taps = 0; taps < 10; ++taps)
            if (display.press_key(output, key, 0.05), wait_until(done, 2)) return true;
        return false;
    };
    // Full screen covers the whole output, the panel and the background in its corners too.
    EXPECT_TRUE(tap_until("F1", [&] { return look() && corners == 4; }));
    ASSERT_TRUE(display.running()) << display.output();

    // SDL shows the box through zenity, a child of the box program, with the caption on its
    // command line. Weston follows the pointer once it has come into its window; a click that
    // comes before weston has seen it there goes nowhere, so it is given again until the box
    // program runs.
    const std::string children = "pgrep -d, -P " + std::to_string(display.pid);
    for (int clicks = 0; clicks < 10 && display.run(children).empty(); ++clicks) {
        display.run("xdotool mousemove 1010 710 mousemove --window " + std::to_string(output) +
                    " " + std::to_string(sun_x) + " " + std::to_string(sun_y) + " click 1");
        wait_until([&] { return !display.run(children).empty(); }, 2);
    }
    EXPECT_TRUE(wait_until([&] {
        return !display.run("grep -a 태양 /proc/$(pgrep -P $(" + children + ") zenity)/cmdline")
                    .empty();
    })) << display.run("pgrep -a -P " + std::to_string(display.pid));
    // Return closes it; the window stays full screen and has the keyboard: F1 goes back.
    EXPECT_TRUE(tap_until("Return", [&] { return display.run(children).empty(); }));
    EXPECT_TRUE(wait_until([&] { return look() && corners == 4; })) << "no longer full screen";
    EXPECT_TRUE(tap_until("F1", [&] { return look() && corners < 4; }));
    EXPECT_TRUE(tap_until("Escape", [&] { return !display.running(); }));
    EXPECT_EQ(display.wait_exit(), 0) << display.output();
}
