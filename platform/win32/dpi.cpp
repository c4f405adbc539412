// The scale of the displays: windowed windows are made larger by their
// display's scale. The manifest makes the program aware of each monitor's
// scale, so Windows does not stretch its picture (which blurs it); a window of
// 800x600 pixels would then be tiny on a 150% display. The calls are looked up
// at run time: Windows 10 before 1607 has none of them.
#include "platform/win32/win32.h"

template <typename Call>
static Call user32_call(const char* name) {
    return reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The scale of the primary display as it was at sign-in: where a new window
// opens, as far as anything can tell before it exists.
UINT system_dpi() {
    using Call = UINT(WINAPI*)();
    static const auto call = user32_call<Call>("GetDpiForSystem");
    return call != nullptr ? call() : USER_DEFAULT_SCREEN_DPI;
}

// The scale of the display the window is on now, which may differ from the
// one at sign-in (the scale changed since, a laptop docked, another monitor).
UINT window_dpi(HWND window) {
    using Call = UINT(WINAPI*)(HWND);
    static const auto call = user32_call<Call>("GetDpiForWindow");
    const UINT dpi = call != nullptr ? call(window) : 0;
    return dpi != 0 ? dpi : system_dpi();
}

// Grows a client rectangle to the window's outer one, with the frame's
// thickness for that scale.
bool outer_rect_for_dpi(RECT* rect, DWORD style, DWORD ex_style, UINT dpi) {
    using Call = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto call = user32_call<Call>("AdjustWindowRectExForDpi");
    if (call != nullptr) return call(rect, style, FALSE, ex_style, dpi) != 0;
    return AdjustWindowRectEx(rect, style, FALSE, ex_style) != 0;
}

int scaled(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }
