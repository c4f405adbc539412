// Builds bitmap files byte by byte for tests: headers, stored rows, whole files.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>
using Bytes = std::vector<std::uint8_t>;
// A value for pixel (x, y) of a picture; colours are 0xRRGGBB.
using PixelValue = std::function<std::uint32_t(int x, int y)>;
inline void append_le(Bytes* bytes, std::initializer_list<std::uint32_t> values, int size = 4) {
    for (std::uint32_t value : values)
        for (int i = 0; i < size; ++i) bytes->push_back(std::uint8_t(value >> (8 * i)));
}
// A 40-byte info header, padded with zeros to a larger `header_size`.
inline Bytes info_header(std::int32_t width, std::int32_t height, int bits,
                         std::uint32_t compression = 0, std::uint32_t colours_used = 0,
                         std::uint32_t header_size = 40) {
    Bytes bytes;
    append_le(&bytes, {header_size, std::uint32_t(width), std::uint32_t(height), 1u | bits << 16,
                       compression, 0, 2835, 2835, colours_used, 0});
    bytes.resize(header_size);
    return bytes;
}
// [File header,] bitmap header, `tables` (masks, colours), `rows` rows of `width` `bits`-bit values
// (below 8 bits packed from the top, else little-endian), each padded to 4 bytes.
inline Bytes assemble_bitmap(bool file_header, const Bytes& header, const Bytes& tables, int width,
                             int rows, int bits, const PixelValue& value) {
    const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
    const auto offset = std::uint32_t(14 + header.size() + tables.size());
    Bytes bytes;
    if (file_header)
        bytes = {'B', 'M'}, append_le(&bytes, {offset + std::uint32_t(stride * rows), 0, offset});
    for (const Bytes* part : {&header, &tables})
        bytes.insert(bytes.end(), part->begin(), part->end());
    bytes.resize(bytes.size() + stride * rows);
    std::uint8_t* pixels = bytes.data() + bytes.size() - stride * rows;
    for (int row = 0; row < rows; ++row)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, row);
            std::uint8_t* at = pixels + stride * row + x * bits / 8;
            if (bits < 8) *at |= std::uint8_t(v << (8 - bits - x * bits % 8));
            for (int i = 0; i < bits / 8; ++i) at[i] = std::uint8_t(v >> 8 * i);
        }
    return bytes;
}
// A 24-bit bottom-up file with both headers; y = 0 is the bottom row.
inline Bytes bmp_24(int width, int height, const PixelValue& colour) {
    return assemble_bitmap(true, info_header(width, height, 24), {}, width, height, 24, colour);
}
inline void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
