// Test harness: a private Xvfb server and the programs started on it, temporary directories, and
// what the windows' own properties and the root window's say (EWMH and ICCCM).
#pragma once

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every 50 ms until it holds (true) or `seconds` have passed (false).
bool wait_until(const std::function<bool()>& condition, double seconds = 20);

// Starts `command` in `dir` with DISPLAY set (unless empty), `environment` (NAME=value) added and
// standard output and error on `out_fd` (-1: nowhere); the child ends with this process.
int spawn(const std::vector<std::string>& command, const std::string& display = "",
          const std::string& dir = ".", int out_fd = -1,
          const std::vector<std::string>& environment = {});

class XvfbDisplay {  // an Xvfb server on a free display number; ends the programs started on it
   public:
    explicit XvfbDisplay(const std::string& screen = "1024x768x24");
    ~XvfbDisplay();
    const std::string& name() const { return name_; }  // e.g. ":7"
    void start(const std::vector<std::string>& command,
               const std::vector<std::string>& environment = {}) {
        pids_.push_back(spawn(command, name_, ".", -1, environment));
    }

   private:
    std::string name_;
    std::vector<int> pids_;  // the server first
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

typedef struct _XDisplay Display;  // as Xlib declares it; its macros stay out of the tests' way
namespace wm {
std::string name(Display* x, unsigned long window);  // _NET_WM_NAME, else WM_NAME; "" if gone
// The windows that a WINDOW property of `window` names, e.g. the root's _NET_CLIENT_LIST_STACKING
// (the bottom one first) or a box's WM_TRANSIENT_FOR; none if it is not set.
std::vector<unsigned long> windows(Display* x, unsigned long window, const char* property);
}  // namespace wm
