// The window class, the windows and the keyboard focus, with the scaling of
// windowed windows on displays of more than 96 dots per inch, and the class's
// own handling of display changes, activation and the session's end.
#include <algorithm>
#include <vector>

#include "platform/common/frozen_input.h"
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Window state. registered_proc is written by register_class and read by the
// class's procedure; live_windows is written by create_window and
// destroy_window and read by newest_window (the console's close request);
// wanted_client is written by adjust_window_rect and read by show_window;
// started is written and read by get_module_handle.
static WindowProc registered_proc = nullptr;
static std::vector<HWND> live_windows;
static SIZE wanted_client{};  // the client size the program asked for, at 96 dots per inch
static bool started = false;  // the program's first call into the layer has been made

// The program's own icon, resource 1 (desktop/windows/orrery.rc).
static constexpr int program_icon = 1;

WindowProc application_proc() { return registered_proc; }

HWND newest_window() { return live_windows.empty() ? nullptr : live_windows.back(); }

static LRESULT CALLBACK class_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

InstanceHandle get_module_handle() {
    // The program's first call into the layer: the console and the working
    // directory are seen to first.
    if (!started) {
        started = true;
        start_console();
        find_pictures_beside_program();
    }
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

// A windowed window's first size, for the scale of the display it will
// most likely open on; show_window corrects it for the one it is on.
bool adjust_window_rect(Rect* rect, std::uint32_t style, std::uint32_t ex_style) {
    wanted_client = SIZE{rect->right - rect->left, rect->bottom - rect->top};
    const UINT dpi = (style & WS_POPUP) == 0 ? system_dpi() : USER_DEFAULT_SCREEN_DPI;
    rect->right = rect->left + scaled(wanted_client.cx, dpi);
    rect->bottom = rect->top + scaled(wanted_client.cy, dpi);
    RECT outer{rect->left, rect->top, rect->right, rect->bottom};
    if (!outer_rect_for_dpi(&outer, style, ex_style, dpi)) return false;
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

// A windowed window that opened on a display of another scale than the one
// at sign-in is given the size for its own display's scale.
static void fit_to_display_scale(HWND window) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    if ((style & WS_POPUP) != 0 || wanted_client.cx <= 0 || wanted_client.cy <= 0) return;
    const UINT dpi = window_dpi(window);
    RECT client;
    if (!GetClientRect(window, &client)) return;
    RECT outer{0, 0, scaled(wanted_client.cx, dpi), scaled(wanted_client.cy, dpi)};
    if (client.right == outer.right && client.bottom == outer.bottom) return;
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (!outer_rect_for_dpi(&outer, style, ex_style, dpi)) return;
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void show_window(WindowHandle window) {
    fit_to_display_scale(to_hwnd(window));
    ShowWindow(to_hwnd(window), SW_SHOW);
    // The client area may differ from the size the program asked for (scaled
    // for the display, or cut to fit a small screen); the projection hears
    // its real size before the first frame.
    RECT client;
    if (GetClientRect(to_hwnd(window), &client)) {
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
        case WM_ACTIVATEAPP:
            // Another program came to the front (Alt+Tab, the Windows key, the
            // lock screen) while in full screen: the desktop gets its own mode
            // back and the window makes way; back in front, full screen again.
            if (w_param == FALSE && give_desktop_back()) {
                ShowWindow(window, SW_MINIMIZE);
            } else if (w_param != FALSE && take_full_screen_again()) {
                ShowWindow(window, SW_RESTORE);
            }
            break;
        case WM_ENDSESSION:
            // The session ends (log-off, shut-down): Windows ends the program
            // once this returns, without closing its windows; the user's
            // display mode is put back first.
            if (w_param != FALSE) give_desktop_back();
            break;
        default:
            if (box_open() && dropped_while_box_open(message)) return 0;
            break;
    }
    if (registered_proc == nullptr) return DefWindowProcA(window, message, w_param, l_param);
    return registered_proc(from_hwnd(window), message, w_param, l_param);
}
