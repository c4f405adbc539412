// The reader's failure boxes and their texts.
#include "image/bitmap_errors.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "image/bitmap_reader.h"
#include "platform/window_system.h"

// The open-failure text, and the room it gets: 256 bytes with the terminating NUL.
constexpr char open_failure_format[] = "Failed to open DIB file %.*s.\n";
constexpr std::size_t message_capacity = 256;
// Bytes of the open-failure text besides the path, counting the NUL.
constexpr std::size_t open_failure_fixed_bytes = sizeof(open_failure_format) - (sizeof("%.*s") - 1);

static const char* status_text(ReadStatus status) {
    switch (status) {
        case ReadStatus::out_of_memory:
            return "Out of memory.";
        case ReadStatus::unknown_format:
            return "Unknown DIB file format.";
        case ReadStatus::conversion_error:
            return "Image file conversion error.";
        case ReadStatus::ok:
            break;
    }
    return "";
}

void report_error(const char* text) { message_box(get_focus(), text, "Error", MB_OK); }

void report_read_failure(ReadStatus status) { report_error(status_text(status)); }

// A path too long for the 256-byte text is cut (never inside a UTF-8
// sequence) so that the full stop and line break remain.
void report_open_failure(const char* path) {
    if (path == nullptr) path = "";
    constexpr std::size_t room = message_capacity - open_failure_fixed_bytes;
    std::size_t length = strnlen(path, room + 1);
    if (length > room) {
        length = room;
        while (length > 0 && (static_cast<unsigned char>(path[length]) & 0xC0) == 0x80) --length;
    }
    char text[message_capacity];
    std::snprintf(text, sizeof text, open_failure_format, static_cast<int>(length), path);
    report_error(text);
}
