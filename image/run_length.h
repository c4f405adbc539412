// Run-length encoded pixels: compression 1 (8-bit indices) and 2 (4-bit).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap_layout.h"
#include "image/pixel_format.h"

// Decodes the stream of `length` bytes at `stream` into `pixels`, which must
// be all black beforehand: pixels that the stream skips stay black. A run
// that goes past the end of its row is cut there, as Windows's own
// conversion cuts it: its pixels beyond the width are dropped and the stream
// goes on behind the whole run (writers that fill each row out to its 4-byte
// padding end odd-width rows so). Returns false for a stream that ends, or
// whose run data ends, before its end-of-bitmap mark, for a run or line end
// below the picture's last row, and for a delta that moves off the picture.
bool decode_run_length(const std::uint8_t* stream, std::size_t length, const BitmapLayout& layout,
                       const PixelFormat& format, std::uint8_t* pixels);
