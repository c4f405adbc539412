// Test harness: a private Xvfb server and the programs started on it, temporary directories, and
// what a window manager says about the windows, read from the root window's and the windows' own
// properties (EWMH and ICCCM).
#pragma once

#include <string>
#include <vector>

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
bool running(Display* x);  // _NET_SUPPORTING_WM_CHECK names a live window with a _NET_WM_NAME
// Whether it frames a window within `seconds`. The check above is set when it starts up, and a
// window mapped during its start-up is never framed (openbox), so the probe is mapped again and
// again until it is.
bool frames_windows(Display* x, double seconds);
std::vector<unsigned long> windows(Display* x);  // _NET_CLIENT_LIST_STACKING, the bottom one first
std::string name(Display* x, unsigned long window);  // _NET_WM_NAME, else WM_NAME; "" if gone
unsigned long transient_for(Display* x, unsigned long window);  // WM_TRANSIENT_FOR, 0 if none
unsigned long active(Display* x);                               // _NET_ACTIVE_WINDOW, 0 if none
void request_close(Display* x, unsigned long window);  // _NET_CLOSE_WINDOW, as a taskbar sends it
void activate(Display* x, unsigned long window);       // _NET_ACTIVE_WINDOW, as a taskbar sends it
bool answers_ping(Display* x, unsigned long window, double seconds);  // _NET_WM_PING in time
}  // namespace wm
