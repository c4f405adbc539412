// The reader's decoding step, without the box: both entries run it and report
// what it ends in themselves, each at its own moment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap_errors.h"
#include "image/bitmap_reader.h"

// Decodes `size` bytes laid out as a bitmap file into a new image in
// `*result`. On any status but `ok` nothing is allocated and `*result` is
// left as it was. Never reads outside [bytes, bytes + size).
ReadStatus convert_bitmap(const std::uint8_t* bytes, std::size_t size, RgbImage** result);
