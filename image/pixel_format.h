// How a file's stored pixels become RGB: the decoding chosen for its bits per
// pixel and compression, with its colour and channel tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/bitmap_errors.h"
#include "image/bitmap_layout.h"

// One colour channel of a 16- or 32-bit pixel: the value is
// expand[((pixel & mask) >> shift) >> drop], where `drop` removes the bits of
// a mask wider than 8 and `expand` widens a narrower one to 8 bits.
struct ChannelField {
    std::uint32_t mask;
    unsigned shift;
    unsigned drop;
    std::uint8_t expand[256];
};

struct PixelFormat;
using RowConverter = void (*)(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                              const PixelFormat& format);

enum class Encoding { rows, run_length_8, run_length_4 };

struct PixelFormat {
    Encoding encoding;
    RowConverter convert_row;  // for Encoding::rows
    std::uint64_t stride;      // bytes per stored row, a multiple of 4
    // Red, green, blue and a spare byte per index, so that a pixel can be
    // stored as 4 bytes; indices beyond the file's table stay black.
    std::uint8_t palette[256][4];
    ChannelField channels[3];  // red, green, blue
};

// Chooses the decoding for the file's bits per pixel and compression and
// fills its tables; any other combination is a conversion error.
ReadStatus prepare_format(const BitmapLayout& layout, PixelFormat* format);

// Converts the uncompressed rows at `data` (stride apart, as many as the
// picture has) into `pixels`, bottom row first.
void convert_rows(const std::uint8_t* data, const BitmapLayout& layout, const PixelFormat& format,
                  std::uint8_t* pixels);

// Writes the colour of palette entry `index` as red, green, blue.
inline void put_index(std::uint8_t* target, const PixelFormat& format, unsigned index) {
    std::memcpy(target, format.palette[index], 3);
}

inline std::uint8_t channel_value(const ChannelField& field, std::uint32_t pixel) {
    return field.expand[((pixel & field.mask) >> field.shift) >> field.drop];
}
