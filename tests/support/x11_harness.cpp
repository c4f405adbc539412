// X display harness for end-to-end tests: Xvfb, the program as a child
// process, window lookup, screenshots and XTest input.
#include "support/x11_harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Waiting.

bool wait_until(const std::function<bool()>& condition, double timeout_seconds) {
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// ---------------------------------------------------------------------------
// Picture files.

static void put_u32_be(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

static std::uint32_t crc32_of(const std::string& bytes) {
    static std::uint32_t table[256];
    static bool table_ready = false;
    if (!table_ready) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        table_ready = true;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

static void put_chunk(std::string& out, const char* type, const std::string& data) {
    put_u32_be(out, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    out += typed;
    put_u32_be(out, crc32_of(typed));
}

// An uncompressed PNG: the zlib stream holds stored deflate blocks.
bool RgbPicture::write_png(const std::string& path) const {
    if (width <= 0 || height <= 0) return false;
    std::string raw;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');  // filter: none
        raw.append(reinterpret_cast<const char*>(&rgb[y * row_bytes]), row_bytes);
    }
    std::string zlib = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || raw.empty();) {
        std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib.append(raw, at, length);
        at += length;
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put_u32_be(zlib, (b << 16) | a);

    std::string header;
    put_u32_be(header, static_cast<std::uint32_t>(width));
    put_u32_be(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace
    std::string file = "\x89PNG\r\n\x1a\n";
    put_chunk(file, "IHDR", header);
    put_chunk(file, "IDAT", zlib);
    put_chunk(file, "IEND", "");
    std::ofstream out(path, std::ios::binary);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

bool RgbPicture::write_ppm(const std::string& path) const {
    if (width <= 0 || height <= 0) return false;
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return static_cast<bool>(out);
}

// ---------------------------------------------------------------------------
// Child processes.

// Environment for a child: ours, with DISPLAY replaced.
static std::vector<std::string> child_environment(const std::string& display) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0) env.emplace_back(*entry);
    }
    if (!display.empty()) env.push_back("DISPLAY=" + display);
    return env;
}

static std::vector<char*> pointers_to(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Ends a child: a polite signal first, then a hard one if it lingers.
static void end_child(int pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    bool gone = wait_until([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 5.0);
    if (!gone) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// ---------------------------------------------------------------------------
// The X server.

static bool x_error_seen = false;

// Windows come and go under the harness's feet (a box closes, the program
// re-creates its window); a request on a vanished window is not fatal here.
static int note_x_error(Display*, XErrorEvent*) {
    x_error_seen = true;
    return 0;
}

static Display* dpy(void* connection) { return static_cast<Display*>(connection); }

XvfbDisplay::XvfbDisplay(const std::string& screen) {
    int ready_pipe[2];
    if (pipe(ready_pipe) != 0) return;
    fcntl(ready_pipe[0], F_SETFD, FD_CLOEXEC);
    std::string fd_text = std::to_string(ready_pipe[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd_text, "-screen", "0",
                                     screen, "-nolisten",  "tcp",   "-noreset"};
    std::vector<char*> argv = pointers_to(args);
    std::vector<std::string> env = child_environment("");
    std::vector<char*> envp = pointers_to(env);

    int pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, 0);
        dup2(null_fd, 1);
        dup2(null_fd, 2);
        execvpe("Xvfb", argv.data(), envp.data());
        _exit(127);
    }
    close(ready_pipe[1]);
    if (pid < 0) {
        close(ready_pipe[0]);
        return;
    }
    server_pid_ = pid;

    // The server writes its display number and a newline once it accepts
    // connections.
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd poll_fd{ready_pipe[0], POLLIN, 0};
        if (poll(&poll_fd, 1, 100) <= 0) continue;
        char buffer[32];
        ssize_t got = read(ready_pipe[0], buffer, sizeof buffer);
        if (got <= 0) break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    close(ready_pipe[0]);
    if (number.find('\n') == std::string::npos) return;
    name_ = ":" + number.substr(0, number.find('\n'));

    XSetErrorHandler(note_x_error);
    wait_until([this] {
        connection_ = XOpenDisplay(name_.c_str());
        return connection_ != nullptr;
    });
    set_auto_repeat(false);
}

XvfbDisplay::~XvfbDisplay() {
    if (connection_ != nullptr) XCloseDisplay(dpy(connection_));
    end_child(server_pid_);
}

void XvfbDisplay::make_default() const { setenv("DISPLAY", name_.c_str(), 1); }

std::vector<XWindow> XvfbDisplay::top_level_windows() {
    std::vector<XWindow> found;
    if (!ok()) return found;
    Display* d = dpy(connection_);
    Window root_return, parent_return;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root_return, &parent_return, &children, &count)) {
        return found;
    }
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
            found.push_back(children[i]);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::string XvfbDisplay::title(XWindow window) {
    if (!ok()) return "";
    Display* d = dpy(connection_);
    Atom net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long items, remaining;
    unsigned char* data = nullptr;
    std::string result;
    if (XGetWindowProperty(d, window, net_wm_name, 0, 4096, False, utf8, &type, &format, &items,
                           &remaining, &data) == Success &&
        data != nullptr && type == utf8 && format == 8) {
        result.assign(reinterpret_cast<char*>(data), items);
    }
    if (data != nullptr) XFree(data);
    if (!result.empty()) return result;
    char* name = nullptr;
    if (XFetchName(d, window, &name) && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

bool XvfbDisplay::exists(XWindow window) {
    if (!ok() || window == 0) return false;
    XWindowAttributes attributes;
    x_error_seen = false;
    bool got = XGetWindowAttributes(dpy(connection_), window, &attributes) != 0;
    return got && !x_error_seen && attributes.map_state == IsViewable;
}

XWindow XvfbDisplay::find_window(const std::string& wanted, double timeout_seconds,
                                 XWindow except) {
    XWindow found = 0;
    wait_until(
        [&] {
            for (XWindow window : top_level_windows()) {
                if (window != except && title(window) == wanted) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout_seconds);
    return found;
}

bool XvfbDisplay::wait_window_gone(XWindow window, double timeout_seconds) {
    return wait_until([&] { return !exists(window); }, timeout_seconds);
}

std::optional<WindowGeometry> XvfbDisplay::geometry(XWindow window) {
    if (!ok()) return std::nullopt;
    Display* d = dpy(connection_);
    XWindowAttributes attributes;
    x_error_seen = false;
    if (!XGetWindowAttributes(d, window, &attributes) || x_error_seen) return std::nullopt;
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    return WindowGeometry{x, y, attributes.width, attributes.height};
}

std::vector<long> XvfbDisplay::property(XWindow window, const std::string& name) {
    std::vector<long> items;
    if (!ok()) return items;
    Display* d = dpy(connection_);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    x_error_seen = false;
    if (XGetWindowProperty(d, window, XInternAtom(d, name.c_str(), False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        !x_error_seen && data != nullptr && format == 32) {
        // Xlib hands 32-bit items back as longs.
        const long* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) XFree(data);
    return items;
}

std::string XvfbDisplay::atom_name(long atom) {
    if (!ok() || atom == 0) return "";
    char* name = XGetAtomName(dpy(connection_), static_cast<Atom>(atom));
    if (name == nullptr) return "";
    std::string result = name;
    XFree(name);
    return result;
}

// Scales a channel given by its mask in a pixel value to 8 bits.
static std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    unsigned long max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

RgbPicture XvfbDisplay::screenshot(XWindow window) {
    RgbPicture picture;
    std::optional<WindowGeometry> size = geometry(window);
    if (!size || size->width <= 0 || size->height <= 0) return picture;
    Display* d = dpy(connection_);
    XSync(d, False);
    x_error_seen = false;
    XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(size->width),
                              static_cast<unsigned>(size->height), AllPlanes, ZPixmap);
    if (image == nullptr || x_error_seen) {
        if (image != nullptr) XDestroyImage(image);
        return picture;
    }
    picture.width = size->width;
    picture.height = size->height;
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    std::uint8_t* out = picture.rgb.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            *out++ = channel(pixel, image->red_mask);
            *out++ = channel(pixel, image->green_mask);
            *out++ = channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return picture;
}

static void give_focus(Display* d, XWindow target) {
    if (target == 0) return;
    XSetInputFocus(d, target, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
}

static void fake_key(Display* d, const std::string& keysym_name, bool down) {
    KeySym keysym = XStringToKeysym(keysym_name.c_str());
    KeyCode code = keysym == NoSymbol ? 0 : XKeysymToKeycode(d, keysym);
    if (code == 0) {
        std::fprintf(stderr, "x11_harness: no key for keysym \"%s\"\n", keysym_name.c_str());
        return;
    }
    XTestFakeKeyEvent(d, code, down ? True : False, CurrentTime);
    XSync(d, False);
}

void XvfbDisplay::press_key(XWindow target, const std::string& keysym_name, double hold_seconds) {
    key_down(target, keysym_name);
    std::this_thread::sleep_for(std::chrono::duration<double>(hold_seconds));
    key_up(0, keysym_name);
}

bool XvfbDisplay::press_key_until(XWindow target, const std::string& keysym_name,
                                  const std::function<bool()>& done, double timeout_seconds) {
    key_down(target, keysym_name);
    bool held = wait_until(done, timeout_seconds);
    key_up(0, keysym_name);
    return held;
}

void XvfbDisplay::set_auto_repeat(bool on) {
    if (!ok()) return;
    if (on) {
        XAutoRepeatOn(dpy(connection_));
    } else {
        XAutoRepeatOff(dpy(connection_));
    }
    XSync(dpy(connection_), False);
}

void XvfbDisplay::key_down(XWindow target, const std::string& keysym_name) {
    if (!ok()) return;
    give_focus(dpy(connection_), target);
    fake_key(dpy(connection_), keysym_name, true);
}

void XvfbDisplay::key_up(XWindow target, const std::string& keysym_name) {
    if (!ok()) return;
    give_focus(dpy(connection_), target);
    fake_key(dpy(connection_), keysym_name, false);
}

void XvfbDisplay::move_mouse(XWindow window, int x, int y) {
    std::optional<WindowGeometry> at = geometry(window);
    if (!at) return;
    Display* d = dpy(connection_);
    XTestFakeMotionEvent(d, DefaultScreen(d), at->x + x, at->y + y, CurrentTime);
    XSync(d, False);
}

void XvfbDisplay::mouse_button(int button, bool down) {
    if (!ok()) return;
    XTestFakeButtonEvent(dpy(connection_), static_cast<unsigned>(button), down ? True : False,
                         CurrentTime);
    XSync(dpy(connection_), False);
}

void XvfbDisplay::click(XWindow window, int x, int y, int button) {
    move_mouse(window, x, y);
    mouse_button(button, true);
    mouse_button(button, false);
}

void XvfbDisplay::send_close_request(XWindow window) {
    if (!ok()) return;
    Display* d = dpy(connection_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &event);
    XSync(d, False);
}

// ---------------------------------------------------------------------------
// The program under test.

ProgramRun::ProgramRun(const XvfbDisplay& display, const std::string& working_dir,
                       const std::string& binary) {
    char log_template[] = "/tmp/orrery-run-XXXXXX";
    int log_fd = mkstemp(log_template);
    if (log_fd < 0) return;
    log_path_ = log_template;
    std::vector<std::string> args = {binary};
    std::vector<char*> argv = pointers_to(args);
    std::vector<std::string> env = child_environment(display.name());
    std::vector<char*> envp = pointers_to(env);

    int pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int null_fd = open("/dev/null", O_RDONLY);
        dup2(null_fd, 0);
        dup2(log_fd, 1);
        dup2(log_fd, 2);
        if (chdir(working_dir.c_str()) != 0) _exit(126);
        execve(binary.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(log_fd);
    pid_ = pid;
}

ProgramRun::~ProgramRun() {
    if (running()) end_child(pid_);
    if (!log_path_.empty()) std::remove(log_path_.c_str());
}

bool ProgramRun::running() {
    if (pid_ <= 0 || status_) return false;
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) != pid_) return true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
    return false;
}

std::optional<int> ProgramRun::wait_exit(double timeout_seconds) {
    wait_until([this] { return !running(); }, timeout_seconds);
    return status_;
}

std::string ProgramRun::output() const {
    std::ifstream in(log_path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------
// Scratch directories.

ScratchDir::ScratchDir(Contents contents) {
    char path_template[] = "/tmp/orrery-work-XXXXXX";
    if (mkdtemp(path_template) == nullptr) return;
    path_ = path_template;
    if (contents != with_pictures) return;
    for (const fs::directory_entry& entry : fs::directory_iterator(ORRERY_TEXTURE_DIR)) {
        if (entry.path().extension() == ".bmp") {
            fs::copy_file(entry.path(), fs::path(path_) / entry.path().filename());
        }
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}
