// The bitmap file's headers: where the picture's parts lie in a file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap_errors.h"

// Compression values of the info header.
constexpr std::uint32_t compression_none = 0;
constexpr std::uint32_t compression_run_length_8 = 1;
constexpr std::uint32_t compression_run_length_4 = 2;
constexpr std::uint32_t compression_bit_fields = 3;

// Little-endian fields, read byte by byte so that they may lie at any alignment.
inline std::uint16_t read_u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t read_u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where everything of one file lies, taken from its headers.
struct BitmapLayout {
    std::int64_t width;   // as the header gives it (may be 0 or negative)
    std::int64_t height;  // magnitude of the header's height
    bool top_down;        // the info header's height is negative: rows stored top row first
    std::uint32_t bits_per_pixel;
    std::uint32_t compression;
    std::uint32_t table_count;       // colour-table entries, a 16-bit count
    std::uint32_t table_entry_size;  // 3 or 4
    const std::uint8_t* table;
    std::uint64_t pixel_offset;  // from the file's start; may lie beyond its end
    std::uint32_t masks[3];      // red, green, blue; read for bit-field files only
};

// Reads the headers of the `size` bytes at `bytes` into `layout`. A header,
// colour table or mask set that does not lie wholly inside the file is an
// unknown format, as is a header size other than 12 or 40.
ReadStatus parse_headers(const std::uint8_t* bytes, std::size_t size, BitmapLayout* layout);
