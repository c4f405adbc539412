// The choice of decoding for a file's pixel layout, its colour and channel
// tables, and the pass over uncompressed rows.
#include "image/pixel_format.h"

#include "image/row_converters.h"

// Channel masks (red, green, blue) of 16- and 32-bit pixels stored without bit fields.
constexpr std::uint32_t plain_masks_16[3] = {0x7C00, 0x03E0, 0x001F};
constexpr std::uint32_t plain_masks_32[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

// Widens a channel value of `bits` bits (1 to 8) to 8 bits by repeating its
// bits from the top down, so that 0 stays 0 and the largest value becomes 255.
// For 5 bits this is (v << 3) | (v >> 2).
static std::uint8_t widen_channel(unsigned value, int bits) {
    unsigned result = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits) {
        result |= shift >= 0 ? value << shift : value >> -shift;
    }
    return static_cast<std::uint8_t>(result);
}

// Sets up one channel from its mask. Only a contiguous run of bits (or no bit
// at all, for a channel that is always 0) is accepted.
static bool set_channel(std::uint32_t mask, ChannelField* field) {
    *field = ChannelField{};
    if (mask == 0) return true;
    field->mask = mask;
    field->shift = static_cast<unsigned>(__builtin_ctz(mask));
    const std::uint64_t run = mask >> field->shift;
    if ((run & (run + 1)) != 0) return false;
    const int bits = __builtin_popcount(mask);
    field->drop = bits > 8 ? static_cast<unsigned>(bits - 8) : 0;
    const int kept_bits = bits > 8 ? 8 : bits;
    for (unsigned value = 0; value < (1u << kept_bits); ++value) {
        field->expand[value] = widen_channel(value, kept_bits);
    }
    return true;
}

static bool set_channels(const std::uint32_t masks[3], PixelFormat* format) {
    for (int channel = 0; channel < 3; ++channel) {
        if (!set_channel(masks[channel], &format->channels[channel])) return false;
    }
    return true;
}

static bool same_masks(const std::uint32_t a[3], const std::uint32_t b[3]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

ReadStatus prepare_format(const BitmapLayout& layout, PixelFormat* format) {
    std::memset(format->palette, 0, sizeof format->palette);
    const std::uint32_t entries = layout.table_count < 256 ? layout.table_count : 256;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry =
            layout.table + static_cast<std::size_t>(i) * layout.table_entry_size;
        format->palette[i][0] = entry[2];
        format->palette[i][1] = entry[1];
        format->palette[i][2] = entry[0];
    }

    format->encoding = Encoding::rows;
    format->convert_row = nullptr;
    const std::uint32_t bits = layout.bits_per_pixel;
    switch (layout.compression) {
        case compression_none:
            if (bits == 1) format->convert_row = convert_row_1;
            if (bits == 4) format->convert_row = convert_row_4;
            if (bits == 8) format->convert_row = convert_row_8;
            if (bits == 24) format->convert_row = convert_row_24;
            if (bits == 16 && set_channels(plain_masks_16, format)) {
                format->convert_row = convert_row_16;
            }
            if (bits == 32) format->convert_row = convert_row_32_plain;
            break;
        case compression_bit_fields:
            if ((bits != 16 && bits != 32) || !set_channels(layout.masks, format)) break;
            if (bits == 16) {
                format->convert_row = convert_row_16;
            } else {
                format->convert_row = same_masks(layout.masks, plain_masks_32)
                                          ? convert_row_32_plain
                                          : convert_row_32;
            }
            break;
        case compression_run_length_8:
            if (bits == 8) format->encoding = Encoding::run_length_8;
            break;
        case compression_run_length_4:
            if (bits == 4) format->encoding = Encoding::run_length_4;
            break;
        default:
            break;
    }
    if (format->encoding == Encoding::rows && format->convert_row == nullptr) {
        return ReadStatus::conversion_error;
    }
    // Stored rows are padded to a multiple of 4 bytes.
    format->stride = (static_cast<std::uint64_t>(layout.width) * bits + 31) / 32 * 4;
    return ReadStatus::ok;
}

void convert_rows(const std::uint8_t* data, const BitmapLayout& layout, const PixelFormat& format,
                  std::uint8_t* pixels) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    const std::size_t row_bytes = width * 3;
    for (std::size_t row = 0; row < height; ++row) {
        // The buffer's first row is the picture's bottom row.
        const std::size_t target_row = layout.top_down ? height - 1 - row : row;
        format.convert_row(data + row * format.stride, pixels + target_row * row_bytes, width,
                           format);
    }
}
