// Modal message boxes. The texts are UTF-8 throughout the program; the box
// gets them as UTF-16 (MessageBoxW), so that the Korean facts read right on a
// Windows of any display language, not only where the ANSI code page is
// Korean.
#include <cstdio>

#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Box state. Written by message_box; read by the class procedure (through
// box_open) and the console's handler thread, which closes an open box.
static volatile LONG boxes_open = 0;

bool box_open() { return boxes_open > 0; }

std::wstring widen(const char* text) {
    if (text == nullptr) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    const int default_answer = (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    // Once the console has asked the program to end, no box holds it up: the
    // message goes to the console instead.
    if (close_requested()) {
        std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "",
                     text != nullptr ? text : "");
        return default_answer;
    }
    drop_queued_input();
    InterlockedIncrement(&boxes_open);
    const int answer = MessageBoxW(to_hwnd(owner), widen(text).c_str(), widen(caption).c_str(),
                                   flags | MB_SETFOREGROUND);
    InterlockedDecrement(&boxes_open);
    return answer != 0 ? answer : default_answer;
}
