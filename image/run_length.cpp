// The run-length decoder.
#include "image/run_length.h"

#include <algorithm>

bool decode_run_length(const std::uint8_t* stream, std::size_t length, const BitmapLayout& layout,
                       const PixelFormat& format, std::uint8_t* pixels) {
    const bool four_bit = format.encoding == Encoding::run_length_4;
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    std::size_t position = 0;
    std::size_t x = 0;  // never beyond the width: runs are cut at the row's end
    std::size_t y = 0;  // rows in stream order; y == height once every row has ended
    auto target = [&]() {
        const std::size_t row = layout.top_down ? height - 1 - y : y;
        return pixels + (row * width + x) * 3;
    };
    // The pixels of a run of `count` that still fall inside the row.
    auto inside_row = [&](std::size_t count) { return std::min(count, width - x); };
    for (;;) {
        if (length - position < 2) return false;
        const unsigned count = stream[position];
        const unsigned value = stream[position + 1];
        position += 2;
        if (count > 0) {
            // An encoded run: `count` pixels of one index, or of two alternating 4-bit indices.
            if (y >= height) return false;
            const std::size_t shown = inside_row(count);
            std::uint8_t* out = target();
            for (std::size_t i = 0; i < shown; ++i) {
                const unsigned index = !four_bit ? value : (i & 1) != 0 ? value & 0x0F : value >> 4;
                put_index(out + 3 * i, format, index);
            }
            x += shown;
        } else if (value == 0) {  // end of line
            if (y >= height) return false;
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta: move right and up
            if (length - position < 2) return false;
            const std::size_t right = stream[position];
            const std::size_t up = stream[position + 1];
            position += 2;
            if (right > width - x || up > height - y) return false;
            x += right;
            y += up;
        } else {  // absolute run of `value` indices, padded to a 2-byte boundary
            const std::size_t data_bytes = four_bit ? (value + 1) / 2 : value;
            const std::size_t padded_bytes = (data_bytes + 1) & ~std::size_t{1};
            if (length - position < padded_bytes) return false;
            if (y >= height) return false;
            const std::uint8_t* indices = stream + position;
            const std::size_t shown = inside_row(value);
            std::uint8_t* out = target();
            for (std::size_t i = 0; i < shown; ++i) {
                const unsigned index = !four_bit      ? indices[i]
                                       : (i & 1) != 0 ? indices[i >> 1] & 0x0F
                                                      : indices[i >> 1] >> 4;
                put_index(out + 3 * i, format, index);
            }
            position += padded_bytes;
            x += shown;
        }
    }
}
