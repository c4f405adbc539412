// The window class, the windows and the keyboard focus, with the scaling of
// windowed windows on displays of more than 96 dots per inch.
#include <algorithm>
#include <vector>

#include "platform/common/frozen_input.h"
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Window state. registered_proc is written by register_class and read by the
// class's procedure; live_windows is written by create_window and
// destroy_window and read by newest_window (the console's close request).
static WindowProc registered_proc = nullptr;
static std::vector<HWND> live_windows;

// The program's own icon, resource 1 (desktop/windows/orrery.rc).
static constexpr int program_icon = 1;

WindowProc application_proc() { return registered_proc; }

HWND newest_window() { return live_windows.empty() ? nullptr : live_windows.back(); }

// Dots per inch of the primary display, where the window opens. The manifest
// makes the program aware of each monitor's scale, so Windows does not
// stretch its picture (which blurs it); a windowed window is therefore made
// larger here by the display's scale, so that it is not tiny on a 150%
// display. Looked up at run time: Windows 10 before 1607 has no such call.
static UINT system_dpi() {
    using GetDpiForSystemCall = UINT(WINAPI*)();
    static const auto call = reinterpret_cast<GetDpiForSystemCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    return call != nullptr ? call() : USER_DEFAULT_SCREEN_DPI;
}

static LRESULT CALLBACK class_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

InstanceHandle get_module_handle() {
    // The program's first call into the layer: the console is seen to first.
    start_console();
    return GetModuleHandleA(nullptr);
}

bool register_class(const WindowClass& window_class) {
    registered_proc = window_class.window_proc;
    auto instance = static_cast<HINSTANCE>(window_class.instance);
    WNDCLASSA registration{};
    registration.style = window_class.style;
    registration.lpfnWndProc = class_proc;
    registration.hInstance = instance;
    registration.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(program_icon));
    if (registration.hIcon == nullptr) registration.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    registration.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    registration.lpszClassName = window_class.class_name;
    return RegisterClassA(&registration) != 0;
}

bool unregister_class(const char* class_name, InstanceHandle instance) {
    return UnregisterClassA(class_name, static_cast<HINSTANCE>(instance)) != 0;
}

bool adjust_window_rect(Rect* rect, std::uint32_t style, std::uint32_t ex_style) {
    const UINT dpi = system_dpi();
    if ((style & WS_POPUP) == 0 && dpi != USER_DEFAULT_SCREEN_DPI) {
        rect->right = rect->left + MulDiv(rect->right - rect->left, dpi, USER_DEFAULT_SCREEN_DPI);
        rect->bottom = rect->top + MulDiv(rect->bottom - rect->top, dpi, USER_DEFAULT_SCREEN_DPI);
    }
    RECT outer{rect->left, rect->top, rect->right, rect->bottom};
    if (!AdjustWindowRectEx(&outer, style, FALSE, ex_style)) return false;
    *rect = Rect{outer.left, outer.top, outer.right, outer.bottom};
    return true;
}

WindowHandle create_window(std::uint32_t ex_style, const char* class_name, const char* title,
                           std::uint32_t style, int x, int y, int width, int height,
                           InstanceHandle instance) {
    HWND window = CreateWindowExA(ex_style, class_name, title, style, x, y, width, height, nullptr,
                                  nullptr, static_cast<HINSTANCE>(instance), nullptr);
    if (window != nullptr) live_windows.push_back(window);
    return from_hwnd(window);
}

bool destroy_window(WindowHandle window) {
    HWND hwnd = to_hwnd(window);
    live_windows.erase(std::remove(live_windows.begin(), live_windows.end(), hwnd),
                       live_windows.end());
    return DestroyWindow(hwnd) != 0;
}

void show_window(WindowHandle window) {
    ShowWindow(to_hwnd(window), SW_SHOW);
    // A window scaled for the display has a larger client area than the
    // program asked for; the projection hears its real size before the
    // first frame.
    RECT client;
    if (system_dpi() != USER_DEFAULT_SCREEN_DPI && GetClientRect(to_hwnd(window), &client)) {
        PostMessageA(to_hwnd(window), WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
}

void set_foreground_window(WindowHandle window) { SetForegroundWindow(to_hwnd(window)); }
void set_focus(WindowHandle window) { SetFocus(to_hwnd(window)); }
WindowHandle get_focus() { return from_hwnd(GetFocus()); }

// The class's procedure: the frozen-window policy and the display changes,
// then the application's own procedure.
static LRESULT CALLBACK class_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
    switch (message) {
        case WM_DPICHANGED: {
            // Moved to a display of another scale: take the size Windows
            // suggests, which keeps the picture's size on the new display.
            const auto* suggested = reinterpret_cast<const RECT*>(l_param);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DISPLAYCHANGE:
            reread_refresh_period();
            break;
        default:
            if (box_open() && dropped_while_box_open(message)) return 0;
            break;
    }
    if (registered_proc == nullptr) return DefWindowProcA(window, message, w_param, l_param);
    return registered_proc(from_hwnd(window), message, w_param, l_param);
}
