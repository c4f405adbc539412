// Whether a message box is open, and the UTF-16 texts that boxes and titles
// are given. Apart from message_box itself, so that a test can put its own
// boxes in place of the real ones at link time.
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Box state. Written by message_box; read by the class procedure and the
// queue (through box_open).
static volatile LONG boxes_open = 0;

bool box_open() { return boxes_open > 0; }

void note_box_open(bool open) {
    if (open) {
        InterlockedIncrement(&boxes_open);
    } else {
        InterlockedDecrement(&boxes_open);
    }
}

std::wstring widen(const char* text) {
    if (text == nullptr) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}
