// Window classes, windows and their device contexts over the page's one
// canvas (id "canvas" in index.html). A window is the canvas shown; closing
// it hides the canvas, which keeps its place in the page.
#include "platform/web/web_windows.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/web/display.h"
#include "platform/web/message_queue.h"
#include "platform/web/program_end.h"

struct RegisteredClass {
    std::string name;
    WindowProc proc;
    InstanceHandle instance;
};

// ---------------------------------------------------------------------------
// Classes and windows. Written by the class and window functions below; read
// by them and, through current_window, by the input and display modules.
static std::vector<RegisteredClass> classes;  // registered window classes
static std::vector<PlatformWindow*> windows;  // live windows, oldest first

EM_JS(void, show_canvas, (const char* title, int visible), {
    const canvas = document.getElementById('canvas');
    canvas.style.visibility = visible ? 'visible' : 'hidden';
    if (title) document.title = UTF8ToString(title);
});

EM_JS(void, focus_canvas, (), { document.getElementById('canvas').focus(); });

WindowHandle current_window() { return windows.empty() ? nullptr : windows.back(); }

InstanceHandle get_module_handle() {
    static char module_marker;
    return &module_marker;
}

bool register_class(const WindowClass& window_class) {
    // The program registers its class before anything else it does here.
    watch_for_the_end();
    for (const RegisteredClass& known : classes) {
        if (known.name == window_class.class_name) return false;
    }
    classes.push_back({window_class.class_name, window_class.window_proc, window_class.instance});
    return true;
}

bool unregister_class(const char* class_name, InstanceHandle instance) {
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->name == class_name && it->instance == instance) {
            classes.erase(it);
            return true;
        }
    }
    return false;
}

// The canvas is sized by its drawing area, as the page lays it out.
bool adjust_window_rect(Rect*, std::uint32_t, std::uint32_t) { return true; }

WindowHandle create_window(std::uint32_t, const char* class_name, const char* title,
                           std::uint32_t style, int, int, int width, int height,
                           InstanceHandle instance) {
    const RegisteredClass* window_class = nullptr;
    for (const RegisteredClass& known : classes) {
        if (known.name == class_name && known.instance == instance) window_class = &known;
    }
    if (window_class == nullptr) return nullptr;

    auto* window = new PlatformWindow{window_class->proc, (style & WS_POPUP) != 0, {}};
    window->dc = PlatformDeviceContext{window, false, false};
    windows.push_back(window);
    show_canvas(title, 0);
    // A new window learns its size before it is shown, while it has no
    // rendering context yet (a paused program then draws its picture once).
    if (window->proc != nullptr) window->proc(window, WM_SIZE, 0, make_lparam(width, height));
    // A full-screen window takes the size of the screen; the program learns
    // it from the queue, once its context exists.
    fit_canvas(width, height);
    return window;
}

bool destroy_window(WindowHandle window) {
    auto it = std::find(windows.begin(), windows.end(), window);
    if (it == windows.end()) return false;
    if (window->proc != nullptr) window->proc(window, WM_DESTROY, 0, 0);
    windows.erase(it);
    forget_messages_for(window);
    if (windows.empty()) show_canvas(nullptr, 0);
    delete window;
    return true;
}

void show_window(WindowHandle window) {
    if (window == current_window()) show_canvas(nullptr, 1);
}

void set_foreground_window(WindowHandle) {}

void set_focus(WindowHandle window) {
    if (window == current_window()) focus_canvas();
}

WindowHandle get_focus() { return current_window(); }

LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == WM_CLOSE) destroy_window(window);
    return 0;
}

// ---------------------------------------------------------------------------
// Device contexts. A window has exactly one device context of its own,
// handed out by get_dc.

DeviceContextHandle get_dc(WindowHandle window) {
    if (window == nullptr) return nullptr;
    window->dc.acquired = true;
    return &window->dc;
}

bool release_dc(WindowHandle window, DeviceContextHandle dc) {
    if (window == nullptr || dc != &window->dc || !dc->acquired) return false;
    dc->acquired = false;
    return true;
}

int choose_pixel_format(DeviceContextHandle dc, const PixelFormatRequest* request) {
    if (dc == nullptr || request == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((request->flags & needed) != needed || request->pixel_type != PFD_TYPE_RGBA) return 0;
    return 1;
}

// The canvas's WebGL context has 8 bits a channel and a depth buffer,
// whatever is asked: a browser offers no other.
bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (dc == nullptr || format <= 0 || request == nullptr) return false;
    dc->format_set = true;
    return true;
}
