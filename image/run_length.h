// Run-length encoded pixels: compression 1 (8-bit indices) and 2 (4-bit).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap_layout.h"
#include "image/pixel_format.h"

// Decodes the stream of `length` bytes at `stream` into `pixels`, which must
// be all black beforehand: pixels that the stream skips stay black. Returns
// false for a stream that runs off its end, or off the picture, before its
// end-of-bitmap mark.
bool decode_run_length(const std::uint8_t* stream, std::size_t length, const BitmapLayout& layout,
                       const PixelFormat& format, std::uint8_t* pixels);
