// Window classes, the live windows and their device contexts, for the
// backends that keep them themselves.
#include "platform/common/window_list.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct RegisteredClass {
    std::string name;
    WindowProc proc;
    InstanceHandle instance;
};

struct LiveWindow {
    WindowHandle window;
    WindowProc proc;
    PlatformDeviceContext dc;
};

// ---------------------------------------------------------------------------
// Classes and windows. Written by the class functions, add_window and
// remove_window; read by the backends' window functions (through the
// functions below) and by the message queue's dispatch.
static std::vector<RegisteredClass> classes;              // registered window classes
static std::vector<std::unique_ptr<LiveWindow>> windows;  // live windows, oldest first

static LiveWindow* live(WindowHandle window) {
    if (window == nullptr) return nullptr;
    for (const auto& known : windows) {
        if (known->window == window) return known.get();
    }
    return nullptr;
}

bool find_window_class(const char* class_name, InstanceHandle instance, WindowProc* proc) {
    for (const RegisteredClass& known : classes) {
        if (known.name == class_name && known.instance == instance) {
            *proc = known.proc;
            return true;
        }
    }
    return false;
}

void add_window(WindowHandle window, WindowProc proc, int width, int height) {
    windows.push_back(std::make_unique<LiveWindow>(
        LiveWindow{window, proc, PlatformDeviceContext{window, false, {}, false}}));
    if (proc != nullptr) proc(window, WM_SIZE, 0, make_lparam(width, height));
}

bool remove_window(WindowHandle window) {
    const LiveWindow* record = live(window);
    if (record == nullptr) return false;
    if (record->proc != nullptr) record->proc(window, WM_DESTROY, 0, 0);
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [window](const auto& known) { return known->window == window; }),
                  windows.end());
    return true;
}

std::size_t window_count() { return windows.size(); }

WindowHandle window_at(std::size_t index) {
    return index < windows.size() ? windows[index]->window : nullptr;
}

WindowHandle first_window() { return windows.empty() ? nullptr : windows.front()->window; }

WindowHandle current_window() { return windows.empty() ? nullptr : windows.back()->window; }

WindowProc window_proc(WindowHandle window) {
    const LiveWindow* record = live(window);
    return record != nullptr ? record->proc : nullptr;
}

// ---------------------------------------------------------------------------
// The layer's calls.

bool register_class(const WindowClass& window_class) {
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

// Windows here are sized by their client area (SDL's, and the page's canvas
// by its drawing area): the rectangle stays as it is.
bool adjust_window_rect(Rect*, std::uint32_t, std::uint32_t) { return true; }

LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == WM_CLOSE) destroy_window(window);
    return 0;
}

DeviceContextHandle get_dc(WindowHandle window) {
    LiveWindow* record = live(window);
    if (record == nullptr) return nullptr;
    record->dc.acquired = true;
    return &record->dc;
}

bool release_dc(WindowHandle window, DeviceContextHandle dc) {
    LiveWindow* record = live(window);
    if (record == nullptr || dc != &record->dc || !dc->acquired) return false;
    dc->acquired = false;
    return true;
}

int choose_pixel_format(DeviceContextHandle dc, const PixelFormatRequest* request) {
    if (dc == nullptr || request == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((request->flags & needed) != needed || request->pixel_type != PFD_TYPE_RGBA) return 0;
    return 1;
}
