// X display harness for end-to-end tests: a private Xvfb server, the real
// program run as a child process on it, top-level windows found by title,
// their geometry and pictures, keys and mouse through XTest, and scratch
// working directories. No window manager runs, so every top-level window
// (the program's, and SDL's message boxes, which a forked child shows) is a
// child of the root window. Every wait is a poll that ends as soon as its
// condition holds; timeouts are generous and are not speed assertions.
//
//   XvfbDisplay display("1024x768x24");
//   ScratchDir dir(ScratchDir::with_pictures);
//   ProgramRun run(display, dir.path());
//   XWindow main = display.find_window("OpenGL Team Project");
//   display.press_key_until(main, "Escape", [&] { return !run.running(); });
//   EXPECT_EQ(run.wait_exit(), 0);
//
// Xlib is not included here (its macros clash with GoogleTest); windows are
// plain X ids and keys are keysym names as XStringToKeysym knows them
// ("Escape", "F1" to "F12", "space", "KP_Add", "KP_Subtract", "Return", "a").
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using XWindow = unsigned long;  // an X window id; 0 means none

constexpr double default_wait_seconds = 20.0;

// Polls `condition` every 20 ms until it holds or the timeout passes. Returns
// whether it held.
bool wait_until(const std::function<bool()>& condition,
                double timeout_seconds = default_wait_seconds);

// Position relative to the root window (the screen's top-left) and size.
struct WindowGeometry {
    int x;
    int y;
    int width;
    int height;
};

// 8-bit RGB triples, top row first, rows packed.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* pixel(int x, int y) const { return &rgb[(y * width + x) * 3]; }
    // Files for looking at a picture while debugging; false if not written.
    bool write_png(const std::string& path) const;
    bool write_ppm(const std::string& path) const;
};

// An Xvfb server with one screen, e.g. "1024x768x24" or "800x600x16", on a
// display number the server picks itself (-displayfd), so parallel test runs
// never collide. The harness keeps its own connection for queries and input.
// The destructor ends the server: anything in this process still connected
// to it (SDL) must not be used afterwards.
class XvfbDisplay {
   public:
    explicit XvfbDisplay(const std::string& screen = "1024x768x24");
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool ok() const { return connection_ != nullptr; }
    const std::string& name() const { return name_; }  // e.g. ":7"
    // Sets DISPLAY in this process, for code under test that opens windows
    // itself; call it before anything touches SDL. SDL connects once per
    // process, so such a process can use only one display.
    void make_default() const;

    // Windows. Titles are _NET_WM_NAME, else WM_NAME.
    std::vector<XWindow> top_level_windows();  // mapped ones only
    std::string title(XWindow window);
    bool exists(XWindow window);  // still there and mapped
    // Waits for a mapped top-level window with exactly this title (other than
    // `except`); 0 if none appeared in time.
    XWindow find_window(const std::string& title, double timeout_seconds = default_wait_seconds,
                        XWindow except = 0);
    // Waits until the window is destroyed or unmapped.
    bool wait_window_gone(XWindow window, double timeout_seconds = default_wait_seconds);
    std::optional<WindowGeometry> geometry(XWindow window);
    // A window property of 32-bit items (CARDINAL, ATOM, _MOTIF_WM_HINTS...),
    // e.g. property(w, "_NET_WM_STATE"); empty if the window has none.
    std::vector<long> property(XWindow window, const std::string& name);
    std::string atom_name(long atom);
    // The window's pixels as they are on the screen; empty on failure.
    RgbPicture screenshot(XWindow window);

    // Input through XTest. A non-zero target gets the keyboard focus first,
    // as a click on it would give under a window manager. The server's key
    // auto-repeat is off, so a held key sends one press.
    //
    // The program sees keys as the state of its key table at its idle passes;
    // a press and release that both arrive within one frame are not seen. So
    // hold keys: press_key holds for a while, press_key_until holds until
    // the effect shows (e.g. the program has exited) or the timeout passes,
    // and returns whether it showed.
    void press_key(XWindow target, const std::string& keysym_name, double hold_seconds = 0.3);
    bool press_key_until(XWindow target, const std::string& keysym_name,
                         const std::function<bool()>& done,
                         double timeout_seconds = default_wait_seconds);
    void key_down(XWindow target, const std::string& keysym_name);
    void key_up(XWindow target, const std::string& keysym_name);
    void set_auto_repeat(bool on);
    // Pointer moves at window coordinates (client pixels of `window`).
    void move_mouse(XWindow window, int x, int y);
    void mouse_button(int button, bool down);  // 1 left, 2 middle, 3 right
    void click(XWindow window, int x, int y, int button = 1);
    // A window manager's close request: WM_PROTOCOLS / WM_DELETE_WINDOW.
    void send_close_request(XWindow window);

   private:
    std::string name_;
    int server_pid_ = -1;
    void* connection_ = nullptr;  // Display*
};

// The program under test (ORRERY_BINARY unless given) started in
// `working_dir` with DISPLAY set to the display; standard output and standard
// error go to a file. The destructor kills it if it is still running.
class ProgramRun {
   public:
    ProgramRun(const XvfbDisplay& display, const std::string& working_dir,
               const std::string& binary = ORRERY_BINARY);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return pid_ > 0; }
    int pid() const { return pid_; }
    bool running();
    // The exit status (0 to 255) once the program has ended, -N when signal N
    // ended it, or nothing if it is still running after the timeout.
    std::optional<int> wait_exit(double timeout_seconds = default_wait_seconds);
    // What the program wrote to standard output and standard error so far.
    std::string output() const;

   private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string log_path_;
};

// A fresh temporary directory, removed with everything in it by the
// destructor: empty, or holding copies of the planet pictures
// (ORRERY_TEXTURE_DIR/*.bmp).
class ScratchDir {
   public:
    enum Contents { empty, with_pictures };
    explicit ScratchDir(Contents contents = empty);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

   private:
    std::string path_;
};
