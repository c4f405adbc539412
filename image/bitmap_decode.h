// The bitmap reader's in-memory entry: decodes the bytes of a bitmap file that
// the caller already holds (the file reader shares its decoding; the fuzz
// target calls it).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap_reader.h"

// Decodes `size` bytes laid out as a bitmap file. Returns a new image, or null
// after showing exactly one error box with the same texts as read_bitmap_image.
// Never reads outside [bytes, bytes + size).
RgbImage* decode_bitmap_image(const std::uint8_t* bytes, std::size_t size);
