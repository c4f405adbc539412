// X display harness for end-to-end tests: Xvfb and its helpers, the program as a child process,
// window lookup, screenshots, XTest input and the X tools.
#include "support/x11_harness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

bool wait_until(const std::function<bool()>& condition, double timeout_seconds) {
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        usleep(20000);
    }
    return true;
}

// Starts `args` in `dir` with DISPLAY set (unless empty), `environment` added, and standard
// output and error on `out_fd` (-1: nowhere); the child ends with this process.
static int spawn(const std::vector<std::string>& args, const std::string& display,
                 const std::string& dir, int out_fd, const std::vector<std::string>& environment) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (out_fd < 0) out_fd = open("/dev/null", O_WRONLY);
    dup2(out_fd, 1);
    dup2(out_fd, 2);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    if (chdir(dir.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(127);
}

XvfbDisplay::XvfbDisplay(const std::string& screen, bool window_manager) {
    int ready[2];  // the server writes its display number to ready[1]
    if (pipe(ready) != 0) return;
    pids_.push_back(spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", screen,
                           "-nolisten", "tcp", "-noreset"},
                          "", ".", -1, {}));
    close(ready[1]);
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') name_ += c;
    close(ready[0]);
    name_ = ":" + name_;
    // Windows vanish under the harness: requests on them fail, not fatally.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (c != '\n' || !(connection_ = XOpenDisplay(name_.c_str()))) return;
    XAutoRepeatOff(connection_);
    if (!window_manager) return;
    start({"openbox", "--sm-disable"});  // manages the screen once it names itself on the root
    wait_until([&] {
        return run("xprop -root _NET_SUPPORTING_WM_CHECK").find("# 0x") != std::string::npos;
    });
}

XvfbDisplay::~XvfbDisplay() {
    if (connection_ != nullptr) XCloseDisplay(connection_);
    for (auto pid = pids_.rbegin(); pid != pids_.rend(); ++pid)
        if (*pid > 0 && kill(*pid, SIGTERM) == 0) waitpid(*pid, nullptr, 0);
}

void XvfbDisplay::start(const std::vector<std::string>& command,
                        const std::vector<std::string>& environment) {
    pids_.push_back(spawn(command, name_, ".", -1, environment));
}

std::string XvfbDisplay::run(const std::string& shell_command) const {
    return shell_output("DISPLAY=" + name_ + " " + shell_command);
}

std::string shell_output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        pclose(pipe);
    }
    return output;
}

// SDL gives its windows and its message boxes a UTF-8 _NET_WM_NAME.
static std::string title_of(Display* d, Window window) {
    XTextProperty text{};
    XGetTextProperty(d, window, &text, XInternAtom(d, "_NET_WM_NAME", False));
    std::string title(text.value ? reinterpret_cast<char*>(text.value) : "", text.nitems);
    XFree(text.value);  // free(), which takes null
    return title;
}

// Top-level windows are children of the root, or of the frame a window manager put around them.
XWindow XvfbDisplay::find_window(const std::string& title, double timeout_seconds, XWindow except) {
    XWindow found = 0;
    std::function<void(Window, int)> look = [&](Window parent, int depth) {
        Window root, up, *children = nullptr;
        unsigned count = 0;
        XQueryTree(connection_, parent, &root, &up, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            if (children[i] != except && exists(children[i]) &&
                title_of(connection_, children[i]) == title)
                found = children[i];
            if (depth == 0) look(children[i], 1);
        }
        XFree(children);
    };
    if (ok())
        wait_until([&] { return look(XDefaultRootWindow(connection_), 0), found != 0; },
                   timeout_seconds);
    return found;
}

bool XvfbDisplay::exists(XWindow window) { return geometry(window).has_value(); }

bool XvfbDisplay::wait_window_gone(XWindow window, double timeout_seconds) {
    const std::string title = ok() ? title_of(connection_, window) : "";
    return wait_until([&] { return !exists(window) || title_of(connection_, window) != title; },
                      timeout_seconds);
}

std::optional<WindowGeometry> XvfbDisplay::geometry(XWindow window) {
    XWindowAttributes a{};
    Window child;
    int x = 0, y = 0;
    bool mapped = ok() && window != 0 && XGetWindowAttributes(connection_, window, &a);
    if (!mapped || a.map_state != IsViewable) return std::nullopt;
    XTranslateCoordinates(connection_, window, a.root, 0, 0, &x, &y, &child);
    return WindowGeometry{x, y, a.width, a.height};
}

RgbPicture XvfbDisplay::screenshot(XWindow window) {
    std::optional<WindowGeometry> at = geometry(window);
    XImage* image =
        at ? XGetImage(connection_, window, 0, 0, at->width, at->height, ~0ul, ZPixmap) : nullptr;
    if (image == nullptr) return {};
    RgbPicture picture{at->width, at->height, {}};
    for (int i = 0; i < at->width * at->height; ++i) {
        const unsigned long pixel = XGetPixel(image, i % at->width, i / at->width);
        for (unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
            picture.rgb.push_back((pixel & mask) * 255 / mask);  // the channel in 8 bits
    }
    XDestroyImage(image);
    return picture;
}

void XvfbDisplay::press_key(XWindow target, const std::string& keysym_name, double hold_seconds) {
    press_key_until(
        target, keysym_name, [] { return false; }, hold_seconds);
}

// Through xdotool, whose key and button events come from XTest like a user's.
bool XvfbDisplay::press_key_until(XWindow target, const std::string& keysym_name,
                                  const std::function<bool()>& done, double timeout_seconds) {
    const std::string focus = target ? "windowfocus " + std::to_string(target) + " " : "";
    run("xdotool " + focus + "keydown " + keysym_name);
    const bool held = wait_until(done, timeout_seconds);
    run("xdotool keyup " + keysym_name);
    return held;
}

void XvfbDisplay::click(XWindow window, int x, int y, int button) {
    run("xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
        std::to_string(y) + " click " + std::to_string(button));
}

// `wmctrl -c`: openbox asks the window to close and pings it.
void XvfbDisplay::send_close_request(XWindow window) {
    run("wmctrl -i -c " + std::to_string(window));
}

ProgramRun::ProgramRun(const XvfbDisplay& display, const std::string& working_dir,
                       const std::vector<std::string>& environment) {
    char log_template[] = "/tmp/orrery-run-XXXXXX";
    int log_fd = mkstemp(log_template);
    log_path_ = log_template;
    if (log_fd >= 0)
        pid_ = spawn({ORRERY_BINARY}, display.name(), working_dir, log_fd, environment);
    close(log_fd);
}

ProgramRun::~ProgramRun() {
    if (running() && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
    unlink(log_path_.c_str());
}

bool ProgramRun::running() {
    int raw = 0;
    if (pid_ > 0 && !status_ && waitpid(pid_, &raw, WNOHANG) == pid_)
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
    return pid_ > 0 && !status_;
}

std::optional<int> ProgramRun::wait_exit(double timeout_seconds) {
    wait_until([this] { return !running(); }, timeout_seconds);
    return status_;
}

std::string ProgramRun::output() const {
    std::ifstream log(log_path_);
    return {std::istreambuf_iterator<char>(log), {}};
}

ScratchDir::ScratchDir(Contents contents) {
    char path_template[] = "/tmp/orrery-work-XXXXXX";
    path_ = mkdtemp(path_template) != nullptr ? path_template : "";
    if (contents == with_pictures) std::filesystem::copy(ORRERY_TEXTURE_DIR, path_);
}

ScratchDir::~ScratchDir() {
    std::error_code e;
    std::filesystem::remove_all(path_, e);
}
