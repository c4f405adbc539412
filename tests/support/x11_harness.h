// X display harness for end-to-end tests: a private Xvfb server, with openbox or other helpers,
// the program run on it, windows found by title, their geometry and pictures, XTest input.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using XWindow = unsigned long;  // 0 means none

// Polls every 20 ms until `condition` holds (true) or the timeout passes.
bool wait_until(const std::function<bool()>& condition, double timeout_seconds = 20.0);

std::string shell_output(const std::string& command);  // its standard output

struct WindowGeometry {
    int x, y, width, height;  // x, y from the screen's top-left
};

struct RgbPicture {  // 8-bit RGB triples, top row first
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* pixel(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};

class XvfbDisplay {  // an Xvfb server on a free display number, no key repeat
   public:
    explicit XvfbDisplay(const std::string& screen = "1024x768x24", bool window_manager = false);
    ~XvfbDisplay();
    bool ok() const { return connection_ != nullptr; }
    const std::string& name() const { return name_; }  // e.g. ":7"
    // Starts a program on the display (`environment` as NAME=value); it ends with the display.
    void start(const std::vector<std::string>& command,
               const std::vector<std::string>& environment = {});
    std::string run(const std::string& shell_command) const;  // with DISPLAY set

    // Waits for a mapped top-level window so titled, not `except`; 0 if none.
    XWindow find_window(const std::string& title, double timeout_seconds = 20.0,
                        XWindow except = 0);
    bool exists(XWindow window);  // there and mapped
    // Until unmapped or titled otherwise (each SDL box's process may reuse the id).
    bool wait_window_gone(XWindow window, double timeout_seconds = 20.0);
    std::optional<WindowGeometry> geometry(XWindow window);  // of the client area
    RgbPicture screenshot(XWindow window);                   // empty on failure

    // Keys held (read in idle passes) a while or until `done` (returned); boxes act on release.
    // A `target` of 0 leaves the keyboard focus where the window manager put it.
    void press_key(XWindow target, const std::string& keysym_name, double hold_seconds = 0.3);
    bool press_key_until(XWindow target, const std::string& keysym_name,
                         const std::function<bool()>& done, double timeout_seconds = 20.0);
    void click(XWindow window, int x, int y, int button = 1);  // client coordinates
    void send_close_request(XWindow window);                   // through the window manager

   private:
    std::string name_;
    std::vector<int> pids_;                   // the server first, then the helpers
    struct _XDisplay* connection_ = nullptr;  // Xlib's Display
};

class ProgramRun {  // the program on the display; killed by the destructor
   public:
    ProgramRun(const XvfbDisplay& display, const std::string& working_dir,
               const std::vector<std::string>& environment = {});
    ~ProgramRun();
    int pid() const { return pid_; }
    bool running();
    std::optional<int> wait_exit(double timeout_seconds = 20.0);  // -N for signal N
    std::string output() const;  // standard output and error so far

   private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string log_path_;
};

class ScratchDir {  // a private temporary directory, empty or with the planet pictures
   public:
    enum Contents { empty, with_pictures };
    explicit ScratchDir(Contents contents = empty);
    ~ScratchDir();
    const std::string& path() const { return path_; }

   private:
    std::string path_;
};
