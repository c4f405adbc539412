// A small bitmap-file writer for tests: whole 24-bit files in one call, and
// the pieces (headers, colour tables, pixel rows, run-length streams) for
// tests that build unusual or broken files byte by byte.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

// Lets test failures print colours readably.
inline void PrintTo(const Rgb& colour, std::ostream* out) {
    *out << "rgb(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
         << ")";
}

// A colour per pixel; y = 0 is the picture's bottom row.
using ColourAt = std::function<Rgb(int x, int y)>;

// Writes a 24-bit, bottom-up bitmap with file header and 40-byte info header.
// Returns false if the file cannot be written.
bool write_bmp_24(const std::string& path, int width, int height, const ColourAt& colour);
bool write_bmp_24(const std::string& path, int width, int height, Rgb fill);
// The same file as bytes.
Bytes bmp_24_bytes(int width, int height, const ColourAt& colour);

bool write_file(const std::string& path, const Bytes& bytes);

// ---------------------------------------------------------------------------
// Pieces.

void append_u16(Bytes* bytes, std::uint16_t value);
void append_u32(Bytes* bytes, std::uint32_t value);
void append_bytes(Bytes* bytes, const Bytes& more);
// Overwrites 4 bytes at `offset` (little-endian).
void put_u32(Bytes* bytes, std::size_t offset, std::uint32_t value);

// The fields of a 40-byte info header. `header_size` may name a larger header
// (108, 124): the header is then padded with zeros to that size.
struct InfoHeader {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bits_per_pixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t image_size = 0;
    std::uint32_t colours_used = 0;
    std::uint32_t colours_important = 0;
    std::uint32_t header_size = 40;
};
Bytes info_header(const InfoHeader& header);
Bytes core_header(std::uint16_t width, std::uint16_t height, std::uint16_t bits_per_pixel);

// Colour-table entries: blue, green, red, plus a reserved 0 unless `core`.
Bytes colour_table(const std::vector<Rgb>& colours, bool core = false);

// Stored rows, in the order given: each row packs `width` values of
// `bits_per_pixel` bits (1, 4, 8: indices, most significant first; 16, 24, 32:
// little-endian pixel values) and is padded with zeros to a multiple of 4 bytes.
Bytes pixel_rows(int width, int rows, int bits_per_pixel,
                 const std::function<std::uint32_t(int x, int row)>& value);
// A 24-bit pixel value: blue in the low byte, red in the high one.
std::uint32_t bgr_value(Rgb colour);

// A whole file: optional 14-byte file header (its pixel offset pointing right
// behind `after_header`), the bitmap header, what follows it (masks, colour
// table) and the pixel data.
Bytes assemble_bitmap(bool file_header, const Bytes& header, const Bytes& after_header,
                      const Bytes& pixels);

// Run-length streams for compression 1 (8-bit) and 2 (4-bit).
class RunLengthStream {
public:
    explicit RunLengthStream(bool four_bit) : four_bit_(four_bit) {}
    // `count` pixels of `value` (for 4 bits: two alternating indices, high nibble first).
    RunLengthStream& run(std::uint8_t count, std::uint8_t value);
    // Literal indices (3 to 255 of them), padded to a 2-byte boundary.
    RunLengthStream& literal(const std::vector<std::uint8_t>& indices);
    RunLengthStream& end_of_line();
    RunLengthStream& end_of_bitmap();
    RunLengthStream& delta(std::uint8_t right, std::uint8_t up);
    const Bytes& bytes() const { return bytes_; }

private:
    bool four_bit_;
    Bytes bytes_;
};
