// The bitmap file reader: maps a .bmp file read-only, checks its headers and
// pixel data against the file's length, and converts the pixels in one pass
// straight into a packed, bottom-row-first RGB buffer. Each failure is
// reported with exactly one error box.
#include "image/bitmap_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/bitmap_decode.h"
#include "platform/window_system.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORRERY_BITMAP_SSSE3 1
#endif

// ---------------------------------------------------------------------------
// The file format and the reader's limits.

// Sizes of the optional file header and of the two accepted bitmap headers.
constexpr std::size_t file_header_size = 14;
constexpr std::uint32_t core_header_size = 12;
constexpr std::uint32_t info_header_size = 40;
// Bytes per colour-table entry: blue, green, red (core); blue, green, red, reserved (info).
constexpr std::uint32_t core_entry_size = 3;
constexpr std::uint32_t info_entry_size = 4;
// The three 4-byte channel masks (red, green, blue) behind an info header with bit fields.
constexpr std::size_t bit_field_masks_size = 12;

// Compression values of the info header.
constexpr std::uint32_t compression_none = 0;
constexpr std::uint32_t compression_run_length_8 = 1;
constexpr std::uint32_t compression_run_length_4 = 2;
constexpr std::uint32_t compression_bit_fields = 3;

// Channel masks (red, green, blue) of 16- and 32-bit pixels stored without bit fields.
constexpr std::uint32_t plain_masks_16[3] = {0x7C00, 0x03E0, 0x001F};
constexpr std::uint32_t plain_masks_32[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

// Pictures larger than this are refused before any size is multiplied: no side
// above 32768 pixels and no more than 2^28 pixels (768 MiB of RGB) in all.
constexpr std::int64_t max_side = 32768;
constexpr std::int64_t max_pixels = std::int64_t{1} << 28;

// The open-failure text, and the room it gets: 256 bytes with the terminating NUL.
constexpr char open_failure_format[] = "Failed to open DIB file %.*s.\n";
constexpr std::size_t message_capacity = 256;
// Bytes of the open-failure text besides the path, counting the NUL.
constexpr std::size_t open_failure_fixed_bytes = sizeof(open_failure_format) - (sizeof("%.*s") - 1);

// What one decoding ends in; every value but `ok` has its box text below.
// The open failure is reported on its own, with the path.
enum class ReadStatus { ok, out_of_memory, unknown_format, conversion_error };

static const char* status_text(ReadStatus status) {
    switch (status) {
        case ReadStatus::out_of_memory:
            return "Out of memory.";
        case ReadStatus::unknown_format:
            return "Unknown DIB file format.";
        case ReadStatus::conversion_error:
            return "Image file conversion error.";
        case ReadStatus::ok:
            break;
    }
    return "";
}

// ---------------------------------------------------------------------------
// Failure boxes.

void report_error(const char* text) { message_box(get_focus(), text, "Error", MB_OK); }

// Shows the open-failure box. A path too long for the 256-byte text is cut
// (never inside a UTF-8 sequence) so that the full stop and line break remain.
static void report_open_failure(const char* path) {
    if (path == nullptr) path = "";
    constexpr std::size_t room = message_capacity - open_failure_fixed_bytes;
    std::size_t length = strnlen(path, room + 1);
    if (length > room) {
        length = room;
        while (length > 0 && (static_cast<unsigned char>(path[length]) & 0xC0) == 0x80) --length;
    }
    char text[message_capacity];
    std::snprintf(text, sizeof text, open_failure_format, static_cast<int>(length), path);
    report_error(text);
}

// ---------------------------------------------------------------------------
// Headers.

// Little-endian fields, read byte by byte so that they may lie at any alignment.
static std::uint16_t read_u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
static std::uint32_t read_u32(const std::uint8_t* p) {
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

// Reads the headers and colour-table location. A header, colour table or mask
// set that does not lie wholly inside the file is an unknown format.
static ReadStatus parse_headers(const std::uint8_t* bytes, std::size_t size, BitmapLayout* layout) {
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

// ---------------------------------------------------------------------------
// Pixel formats.

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

static std::uint8_t channel_value(const ChannelField& field, std::uint32_t pixel) {
    return field.expand[((pixel & field.mask) >> field.shift) >> field.drop];
}

static void put_index(std::uint8_t* target, const PixelFormat& format, unsigned index) {
    std::memcpy(target, format.palette[index], 3);
}

static void convert_row_1(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                          const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        put_index(target + 3 * x, format, (source[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

static void convert_row_4(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                          const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t pair = source[x >> 1];
        put_index(target + 3 * x, format, (x & 1) != 0 ? pair & 0x0F : pair >> 4);
    }
}

// Each pixel but the row's last is stored as 4 bytes; the spare byte lands on
// the next pixel, which overwrites it.
static void convert_row_8(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                          const PixelFormat& format) {
    const std::size_t last = width - 1;
    for (std::size_t x = 0; x < last; ++x)
        std::memcpy(target + 3 * x, format.palette[source[x]], 4);
    put_index(target + 3 * last, format, source[last]);
}

#ifdef ORRERY_BITMAP_SSSE3
// Swaps blue and red of 5 pixels per 16-byte load and store; the 16th byte
// stored is the next pixel's first, written again by the next step. Stops
// while a whole 16-byte store still fits in the row; returns the pixels done.
__attribute__((target("ssse3"))) static std::size_t swap_rows_24_ssse3(const std::uint8_t* source,
                                                                       std::uint8_t* target,
                                                                       std::size_t width) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    std::size_t x = 0;
    for (; x + 6 <= width; x += 5) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 3 * x),
                         _mm_shuffle_epi8(pixels, order));
    }
    return x;
}

static bool have_ssse3() {
    static const bool available = __builtin_cpu_supports("ssse3");
    return available;
}
#endif

static void convert_row_24(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                           const PixelFormat&) {
    std::size_t x = 0;
#ifdef ORRERY_BITMAP_SSSE3
    if (have_ssse3()) x = swap_rows_24_ssse3(source, target, width);
#endif
    for (; x < width; ++x) {
        target[3 * x] = source[3 * x + 2];
        target[3 * x + 1] = source[3 * x + 1];
        target[3 * x + 2] = source[3 * x];
    }
}

static void convert_row_16(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                           const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = read_u16(source + 2 * x);
        for (int channel = 0; channel < 3; ++channel) {
            target[3 * x + channel] = channel_value(format.channels[channel], pixel);
        }
    }
}

static void convert_row_32(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                           const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = read_u32(source + 4 * x);
        for (int channel = 0; channel < 3; ++channel) {
            target[3 * x + channel] = channel_value(format.channels[channel], pixel);
        }
    }
}

// 32-bit pixels with 8-bit channels in their usual places: blue, green, red, unused.
static void convert_row_32_plain(const std::uint8_t* source, std::uint8_t* target,
                                 std::size_t width, const PixelFormat&) {
    for (std::size_t x = 0; x < width; ++x) {
        target[3 * x] = source[4 * x + 2];
        target[3 * x + 1] = source[4 * x + 1];
        target[3 * x + 2] = source[4 * x];
    }
}

static bool same_masks(const std::uint32_t a[3], const std::uint32_t b[3]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Chooses the conversion for the file's bits per pixel and compression and
// fills its tables; any other combination cannot be converted.
static ReadStatus prepare_format(const BitmapLayout& layout, PixelFormat* format) {
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

// ---------------------------------------------------------------------------
// Conversion.

// Pixel buffers at least this large ask for huge pages.
constexpr std::size_t huge_page_advice_threshold = std::size_t{4} << 20;

// Asks the system to back a large, fresh buffer with huge pages where it
// allows that on request. On machines where first touching a page is costly
// (virtual machines especially), the 4 KiB page faults of a fresh buffer cost
// more than converting the pixels; a 2 MiB page takes one fault for 512. Only
// whole pages inside the buffer are advised; the advice is a hint, and the
// buffer is still released with free().
static void advise_huge_pages(void* buffer, std::size_t size) {
#ifdef MADV_HUGEPAGE
    if (size < huge_page_advice_threshold) return;
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t start = (first + page - 1) & ~(page - 1);
    const std::uintptr_t end = (first + size) & ~(page - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)buffer;
    (void)size;
#endif
}

static void convert_rows(const std::uint8_t* data, const BitmapLayout& layout,
                         const PixelFormat& format, std::uint8_t* pixels) {
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

// Decodes a run-length stream (compression 1 with 8-bit indices, 2 with 4-bit
// indices) into `pixels`, which must be all black beforehand: pixels that the
// stream skips stay black. Returns false for a stream that runs off its end,
// or off the picture, before its end-of-bitmap mark.
static bool decode_run_length(const std::uint8_t* stream, std::size_t length,
                              const BitmapLayout& layout, const PixelFormat& format,
                              std::uint8_t* pixels) {
    const bool four_bit = format.encoding == Encoding::run_length_4;
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    std::size_t position = 0;
    std::size_t x = 0;
    std::size_t y = 0;  // rows in stream order; y == height once every row has ended
    auto target = [&]() {
        const std::size_t row = layout.top_down ? height - 1 - y : y;
        return pixels + (row * width + x) * 3;
    };
    for (;;) {
        if (length - position < 2) return false;
        const unsigned count = stream[position];
        const unsigned value = stream[position + 1];
        position += 2;
        if (count > 0) {
            // An encoded run: `count` pixels of one index, or of two alternating 4-bit indices.
            if (y >= height || count > width - x) return false;
            std::uint8_t* out = target();
            for (unsigned i = 0; i < count; ++i) {
                const unsigned index = !four_bit ? value : (i & 1) != 0 ? value & 0x0F : value >> 4;
                put_index(out + 3 * static_cast<std::size_t>(i), format, index);
            }
            x += count;
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
            if (y >= height || value > width - x) return false;
            const std::uint8_t* indices = stream + position;
            std::uint8_t* out = target();
            for (unsigned i = 0; i < value; ++i) {
                const unsigned index = !four_bit      ? indices[i]
                                       : (i & 1) != 0 ? indices[i >> 1] & 0x0F
                                                      : indices[i >> 1] >> 4;
                put_index(out + 3 * static_cast<std::size_t>(i), format, index);
            }
            position += padded_bytes;
            x += value;
        }
    }
}

static ReadStatus decode_to_image(const std::uint8_t* bytes, std::size_t size, RgbImage** result) {
    BitmapLayout layout;
    ReadStatus status = parse_headers(bytes, size, &layout);
    if (status != ReadStatus::ok) return status;
    if (layout.width <= 0 || layout.height == 0) return ReadStatus::conversion_error;
    if (layout.width > max_side || layout.height > max_side ||
        layout.width * layout.height > max_pixels) {
        return ReadStatus::out_of_memory;
    }
    PixelFormat format;
    status = prepare_format(layout, &format);
    if (status != ReadStatus::ok) return status;

    if (layout.pixel_offset > size) return ReadStatus::conversion_error;
    const std::uint8_t* data = bytes + layout.pixel_offset;
    const std::size_t available = size - static_cast<std::size_t>(layout.pixel_offset);
    const bool rows = format.encoding == Encoding::rows;
    if (rows && format.stride * static_cast<std::uint64_t>(layout.height) > available) {
        return ReadStatus::conversion_error;
    }

    const std::size_t buffer_size = static_cast<std::size_t>(layout.width * layout.height) * 3;
    // A run-length picture starts black; calloc gets that without a pass over the buffer.
    auto* pixels =
        static_cast<std::uint8_t*>(rows ? std::malloc(buffer_size) : std::calloc(buffer_size, 1));
    if (pixels == nullptr) return ReadStatus::out_of_memory;
    advise_huge_pages(pixels, buffer_size);
    if (rows) {
        convert_rows(data, layout, format, pixels);
    } else if (!decode_run_length(data, available, layout, format, pixels)) {
        std::free(pixels);
        return ReadStatus::conversion_error;
    }

    auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (image == nullptr) {
        std::free(pixels);
        return ReadStatus::out_of_memory;
    }
    image->width = static_cast<std::int32_t>(layout.width);
    image->height = static_cast<std::int32_t>(layout.height);
    image->pixels = pixels;
    *result = image;
    return ReadStatus::ok;
}

// ---------------------------------------------------------------------------
// Entries.

RgbImage* decode_bitmap_image(const std::uint8_t* bytes, std::size_t size) {
    RgbImage* image = nullptr;
    const ReadStatus status = decode_to_image(bytes, size, &image);
    if (status != ReadStatus::ok) report_error(status_text(status));
    return image;
}

// Opens and maps the file read-only; the bytes are decoded in place, never
// copied. Everything is released before a failure box is shown.
RgbImage* read_bitmap_image(const char* path) {
    // Non-blocking, so that a FIFO under the name cannot hang the open; it
    // changes nothing for regular files.
    const int file = path != nullptr ? open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (file < 0) {
        report_open_failure(path);
        return nullptr;
    }
    struct stat status_of_file;
    if (fstat(file, &status_of_file) != 0 || !S_ISREG(status_of_file.st_mode) ||
        status_of_file.st_size <= 0) {
        close(file);
        report_open_failure(path);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(status_of_file.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file, 0);
    if (view == MAP_FAILED) {
        close(file);
        report_open_failure(path);
        return nullptr;
    }

    RgbImage* image = nullptr;
    const ReadStatus status = decode_to_image(static_cast<const std::uint8_t*>(view), size, &image);
    munmap(view, size);
    close(file);
    if (status != ReadStatus::ok) report_error(status_text(status));
    return image;
}
