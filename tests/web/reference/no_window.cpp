// The scene's only use of the window system in the reference frames: a box for a picture it
// cannot read, written to standard error.
#include <cstdio>

#include "platform/window_system.h"

WindowHandle get_focus() { return nullptr; }
int message_box(WindowHandle, const char* text, const char* caption, unsigned) {
    return std::fprintf(stderr, "%s: %s\n", caption, text), IDOK;
}
