// Modal message boxes. The texts are UTF-8 throughout the program; the box
// gets them as UTF-16 (MessageBoxW), so that the Korean facts read right on a
// Windows of any display language, not only where the ANSI code page is
// Korean.
#include <cstdio>

#include "platform/win32/win32.h"

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
    note_box_open(true);
    const int answer = MessageBoxW(to_hwnd(owner), widen(text).c_str(), widen(caption).c_str(),
                                   flags | MB_SETFOREGROUND);
    note_box_open(false);
    // The keyboard goes back to the owner now, not once the window manager
    // has got round to it: the next box (the reader's) is owned by the
    // window that has the keyboard.
    if (owner != nullptr && IsWindow(to_hwnd(owner)) && GetFocus() == nullptr) {
        SetFocus(to_hwnd(owner));
    }
    // The box's own loop translated the keys it kept from the owner; the
    // characters it made of them are still queued.
    MSG typed;
    while (PeekMessageA(&typed, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE | PM_NOYIELD)) {
    }
    return answer != 0 ? answer : default_answer;
}
