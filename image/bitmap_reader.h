// The bitmap file reader: turns one .bmp file into an RgbImage, reporting
// every failure with one message box.
#pragma once

#include <cstdint>

// An image in memory: width x height pixels, 8-bit red, green, blue triples,
// the picture's bottom row first, rows packed without padding. Both the record
// and `pixels` come from malloc; the holder frees `pixels`, then the record.
struct RgbImage {
    std::int32_t width;
    std::int32_t height;
    std::uint8_t* pixels;
};

// Reads the bitmap file at `path`. Returns a new image, or null after showing
// exactly one error box.
RgbImage* read_bitmap_image(const char* path);

// Shows `text` in a modal box captioned "Error" with an OK button, owned by
// the window that has the keyboard focus (none when no window has it).
void report_error(const char* text);
