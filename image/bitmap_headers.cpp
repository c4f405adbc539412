// The bitmap file's headers: the optional file header, the core or info
// header, the bit-field masks and the colour table, each checked against the
// file's length.
#include "image/bitmap_layout.h"

// Sizes of the optional file header and of the two accepted bitmap headers.
constexpr std::size_t file_header_size = 14;
constexpr std::uint32_t core_header_size = 12;
constexpr std::uint32_t info_header_size = 40;
// Bytes per colour-table entry: blue, green, red (core); blue, green, red, reserved (info).
constexpr std::uint32_t core_entry_size = 3;
constexpr std::uint32_t info_entry_size = 4;
// The three 4-byte channel masks (red, green, blue) behind an info header with bit fields.
constexpr std::size_t bit_field_masks_size = 12;

// Colour-table entries implied by the bits per pixel alone.
static std::uint32_t table_size_for_depth(std::uint32_t bits_per_pixel) {
    switch (bits_per_pixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

ReadStatus parse_headers(const std::uint8_t* bytes, std::size_t size, BitmapLayout* layout) {
    const bool has_file_header = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const std::size_t header_start = has_file_header ? file_header_size : 0;
    if (size < header_start + 4) return ReadStatus::unknown_format;
    const std::uint8_t* header = bytes + header_start;
    const std::uint32_t header_size = read_u32(header);
    if (header_size != core_header_size && header_size != info_header_size) {
        return ReadStatus::unknown_format;
    }
    if (size - header_start < header_size) return ReadStatus::unknown_format;

    *layout = BitmapLayout{};
    if (header_size == core_header_size) {
        layout->width = read_u16(header + 4);
        layout->height = read_u16(header + 6);
        layout->bits_per_pixel = read_u16(header + 10);
        layout->compression = compression_none;
        layout->table_count = table_size_for_depth(layout->bits_per_pixel);
        layout->table_entry_size = core_entry_size;
    } else {
        const auto height = static_cast<std::int32_t>(read_u32(header + 8));
        layout->width = static_cast<std::int32_t>(read_u32(header + 4));
        layout->top_down = height < 0;
        layout->height = layout->top_down ? -std::int64_t{height} : std::int64_t{height};
        layout->bits_per_pixel = read_u16(header + 14);
        layout->compression = read_u32(header + 16);
        // Colours used counts only with its low 16 bits; 0 (or 65536) means the
        // count that the bits per pixel imply.
        const std::uint32_t colours_used = read_u32(header + 32) & 0xFFFF;
        layout->table_count =
            colours_used != 0 ? colours_used : table_size_for_depth(layout->bits_per_pixel);
        layout->table_entry_size = info_entry_size;
    }

    // Behind the header: the bit-field masks (if any), then the colour table.
    const std::size_t after_header = size - header_start - header_size;
    std::size_t masks_bytes = 0;
    if (header_size == info_header_size && layout->compression == compression_bit_fields) {
        masks_bytes = bit_field_masks_size;
        if (after_header < masks_bytes) return ReadStatus::unknown_format;
        for (int channel = 0; channel < 3; ++channel) {
            layout->masks[channel] =
                read_u32(header + header_size + 4 * static_cast<std::size_t>(channel));
        }
    }
    const std::size_t table_bytes = std::size_t{layout->table_count} * layout->table_entry_size;
    if (after_header - masks_bytes < table_bytes) return ReadStatus::unknown_format;
    layout->table = header + header_size + masks_bytes;

    // The file header's offset is used as given; a file without one has its
    // pixels right behind the colour table (and so behind the masks, which
    // would otherwise be read as the first pixels).
    layout->pixel_offset =
        has_file_header ? read_u32(bytes + 10)
                        : std::uint64_t{header_start} + header_size + masks_bytes + table_bytes;
    return ReadStatus::ok;
}
