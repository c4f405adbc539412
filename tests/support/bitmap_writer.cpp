// A small bitmap-file writer for tests.
#include "support/bitmap_writer.h"

#include <cstdio>

void append_u16(Bytes* bytes, std::uint16_t value) {
    bytes->push_back(static_cast<std::uint8_t>(value));
    bytes->push_back(static_cast<std::uint8_t>(value >> 8));
}

void append_u32(Bytes* bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes->push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void append_bytes(Bytes* bytes, const Bytes& more) {
    bytes->insert(bytes->end(), more.begin(), more.end());
}

void put_u32(Bytes* bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes info_header(const InfoHeader& header) {
    Bytes bytes;
    append_u32(&bytes, header.header_size);
    append_u32(&bytes, static_cast<std::uint32_t>(header.width));
    append_u32(&bytes, static_cast<std::uint32_t>(header.height));
    append_u16(&bytes, header.planes);
    append_u16(&bytes, header.bits_per_pixel);
    append_u32(&bytes, header.compression);
    append_u32(&bytes, header.image_size);
    append_u32(&bytes, 2835);  // 72 dots per inch, both ways
    append_u32(&bytes, 2835);
    append_u32(&bytes, header.colours_used);
    append_u32(&bytes, header.colours_important);
    if (header.header_size > bytes.size()) bytes.resize(header.header_size, 0);
    return bytes;
}

Bytes core_header(std::uint16_t width, std::uint16_t height, std::uint16_t bits_per_pixel) {
    Bytes bytes;
    append_u32(&bytes, 12);
    append_u16(&bytes, width);
    append_u16(&bytes, height);
    append_u16(&bytes, 1);
    append_u16(&bytes, bits_per_pixel);
    return bytes;
}

Bytes colour_table(const std::vector<Rgb>& colours, bool core) {
    Bytes bytes;
    for (const Rgb& colour : colours) {
        bytes.push_back(colour.blue);
        bytes.push_back(colour.green);
        bytes.push_back(colour.red);
        if (!core) bytes.push_back(0);
    }
    return bytes;
}

Bytes pixel_rows(int width, int rows, int bits_per_pixel,
                 const std::function<std::uint32_t(int x, int row)>& value) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits_per_pixel + 31) / 32 * 4;
    Bytes bytes;
    for (int row = 0; row < rows; ++row) {
        Bytes line(stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, row);
            if (bits_per_pixel < 8) {
                const int bit = x * bits_per_pixel;
                const int shift = 8 - bits_per_pixel - bit % 8;
                line[bit / 8] |= static_cast<std::uint8_t>(v << shift);
            } else {
                const int size = bits_per_pixel / 8;
                for (int i = 0; i < size; ++i) {
                    line[x * size + i] = static_cast<std::uint8_t>(v >> (8 * i));
                }
            }
        }
        append_bytes(&bytes, line);
    }
    return bytes;
}

std::uint32_t bgr_value(Rgb colour) {
    return colour.blue | (colour.green << 8) | (static_cast<std::uint32_t>(colour.red) << 16);
}

Bytes assemble_bitmap(bool file_header, const Bytes& header, const Bytes& after_header,
                      const Bytes& pixels) {
    Bytes bytes;
    if (file_header) {
        const auto offset = static_cast<std::uint32_t>(14 + header.size() + after_header.size());
        bytes = {'B', 'M'};
        append_u32(&bytes, offset + static_cast<std::uint32_t>(pixels.size()));
        append_u32(&bytes, 0);
        append_u32(&bytes, offset);
    }
    append_bytes(&bytes, header);
    append_bytes(&bytes, after_header);
    append_bytes(&bytes, pixels);
    return bytes;
}

Bytes bmp_24_bytes(int width, int height, const ColourAt& colour) {
    InfoHeader header;
    header.width = width;
    header.height = height;
    return assemble_bitmap(
        true, info_header(header), {},
        pixel_rows(width, height, 24, [&](int x, int y) { return bgr_value(colour(x, y)); }));
}

bool write_file(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool write_bmp_24(const std::string& path, int width, int height, const ColourAt& colour) {
    return write_file(path, bmp_24_bytes(width, height, colour));
}

bool write_bmp_24(const std::string& path, int width, int height, Rgb fill) {
    return write_bmp_24(path, width, height, [fill](int, int) { return fill; });
}

RunLengthStream& RunLengthStream::run(std::uint8_t count, std::uint8_t value) {
    bytes_.push_back(count);
    bytes_.push_back(value);
    return *this;
}

RunLengthStream& RunLengthStream::literal(const std::vector<std::uint8_t>& indices) {
    bytes_.push_back(0);
    bytes_.push_back(static_cast<std::uint8_t>(indices.size()));
    Bytes data;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (!four_bit_) {
            data.push_back(indices[i]);
        } else if (i % 2 == 0) {
            data.push_back(static_cast<std::uint8_t>(indices[i] << 4));
        } else {
            data.back() |= indices[i] & 0x0F;
        }
    }
    if (data.size() % 2 != 0) data.push_back(0);
    append_bytes(&bytes_, data);
    return *this;
}

RunLengthStream& RunLengthStream::end_of_line() { return run(0, 0); }
RunLengthStream& RunLengthStream::end_of_bitmap() { return run(0, 1); }

RunLengthStream& RunLengthStream::delta(std::uint8_t right, std::uint8_t up) {
    run(0, 2);
    bytes_.push_back(right);
    bytes_.push_back(up);
    return *this;
}
