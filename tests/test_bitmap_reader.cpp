// Tests of the bitmap reader: every pixel format and header kind, and each failure's box.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "image/bitmap_decode.h"
#include "image/bitmap_reader.h"
#include "support/bitmap_writer.h"
#include "support/message_box_recorder.h"
#include "support/x11_harness.h"

namespace {

const std::string unknown = "Unknown DIB file format.", conversion = "Image file conversion error.";

// Decodes `file` and compares the image, pixels as 0xRRGGBB from the bottom row, with `colour`.
void expect_picture(const Bytes& file, int width, int height, const PixelValue& colour) {
    std::vector<std::uint32_t> expected{std::uint32_t(width), std::uint32_t(height)}, got;
    for (int i = 0; i < width * height; ++i) expected.push_back(colour(i % width, i / width));
    if (RgbImage* image = decode_bitmap_image(file.data(), file.size())) {
        got = {std::uint32_t(image->width), std::uint32_t(image->height)};
        const std::uint8_t* p = image->pixels;
        for (int i = 0; i < image->width * image->height * 3; i += 3)
            got.push_back(p[i] << 16 | p[i + 1] << 8 | p[i + 2]);
        std::free(image->pixels);
        std::free(image);
    }
    EXPECT_EQ(got, expected);
}

// Colour-table entry i: distinct for every 8-bit index, and different in every channel.
std::uint32_t palette(std::uint32_t i) { return i * 0x010307u & 0xFFFFFF; }

// Masks are red, green, blue, stored for compression 3; colours used 16 puts a table before pixels.
struct Format {
    int bits;
    std::uint32_t compression, masks[3], colours_used;
};
// clang-format off
const Format formats[] = {
    {1, 0, {}, 0}, {4, 0, {}, 0}, {8, 0, {}, 0}, {24, 0, {0xFF0000, 0xFF00, 0xFF}, 0},
    {24, 0, {0xFF0000, 0xFF00, 0xFF}, 16}, {16, 0, {0x7C00, 0x03E0, 0x001F}, 0},
    {32, 0, {0xFF0000, 0xFF00, 0xFF}, 0}, {16, 3, {0xF800, 0x07E0, 0x001F}, 0},
    {32, 3, {0x3FF00000, 0x000FFC00, 0x3FF}, 0}, {32, 3, {0xFF0000, 0xFF00, 0xFF}, 0},
    {32, 3, {0xFF, 0xFF00, 0xFF0000}, 0}};
// clang-format on

// Varied values, with the unused bits of 16- and 32-bit pixels set too.
std::uint32_t stored_value(const Format& format, int x, int y) {
    const std::uint32_t hash = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y + 1) * 40503u;
    return format.bits == 32 ? hash : hash % (1u << format.bits);
}

// A table entry, or each masked channel widened (repeating its top bits) or cut to 8 bits.
std::uint32_t expected_colour(const Format& format, std::uint32_t value) {
    if (format.bits <= 8) return palette(value);
    std::uint32_t rgb = 0;
    for (std::uint32_t mask : format.masks) {
        const unsigned v = (value & mask) >> __builtin_ctz(mask), bits = __builtin_popcount(mask);
        rgb = rgb << 8 | (bits >= 8 ? v >> (bits - 8) : v << (8 - bits) | v >> (2 * bits - 8));
    }
    return rgb;
}

// A 13 x 3 picture, so that every format's stored rows need padding.
Bytes format_file(const Format& format, bool core, bool file_header, bool top_down) {
    Bytes tables, header = info_header(13, top_down ? -3 : 3, format.bits, format.compression,
                                       format.colours_used);
    if (core) header = {12, 0, 0, 0, 13, 0, 3, 0, 1, 0, std::uint8_t(format.bits), 0};
    if (format.compression == 3)
        append_le(&tables, {format.masks[0], format.masks[1], format.masks[2]});
    const int entries = format.bits <= 8 ? 1 << format.bits : format.colours_used;
    for (int i = 0; i < entries; ++i) append_le(&tables, {palette(i)}, core ? 3 : 4);
    return assemble_bitmap(file_header, header, tables, 13, 3, format.bits, [&](int x, int row) {
        return stored_value(format, x, top_down ? 2 - row : row);
    });
}

// A `width` x `height` picture with a 4-entry table and the stream stored as is, padded to 4 bytes.
Bytes rle_file(bool four_bit, const Bytes& stream, bool file_header, int width, int height) {
    Bytes table;
    append_le(&table, {palette(1), palette(2), palette(3), palette(4)});
    return assemble_bitmap(file_header,
                           info_header(width, height, four_bit ? 4 : 8, four_bit ? 2 : 1, 4), table,
                           int(stream.size()), 1, 8, [&](int x, int) { return stream[x]; });
}

// What the 8-bit and the 4-bit stream give, with and without the file header, bottom-up and
// top-down: `rows` from the bottom, each character an index ("r" is 1 in 8 bits, 2 in 4) or "."
// for black; index i is table entry i + 1.
void expect_runs(const Bytes& rle8, const Bytes& rle4, const std::vector<std::string>& rows) {
    const int width = int(rows[0].size()), height = int(rows.size());
    for (int variant = 0; variant < 6; ++variant) {
        const bool four_bit = variant & 1, file_header = variant / 2 != 1, top_down = variant >= 4;
        SCOPED_TRACE(testing::Message() << "run lengths, " << variant);
        const Bytes file = rle_file(four_bit, four_bit ? rle4 : rle8, file_header, width,
                                    top_down ? -height : height);
        expect_picture(file, width, height, [&](int x, int y) {
            const char c = rows[top_down ? height - 1 - y : y][x];
            return c == '.' ? 0 : palette(c == 'r' ? 2 + four_bit : c - '0' + 1);
        });
    }
}

TEST(BitmapReader, EveryFormatInBothHeaderKindsAndRunLengthsGiveTheirColours) {
    MessageBoxRecorder boxes;
    for (const Format& format : formats) {
        for (int variant = 0; variant < 8; ++variant) {
            const bool core = variant & 1, file_header = variant & 2, top_down = variant & 4;
            if (core && (format.compression || format.colours_used || top_down)) continue;
            SCOPED_TRACE(testing::Message() << "format " << &format - formats << ", " << variant);
            expect_picture(
                format_file(format, core, file_header, top_down), 13, 3,
                [&](int x, int y) { return expected_colour(format, stored_value(format, x, y)); });
        }
    }
    // Row 0 ends early; row 1 is left by a delta that skips pixels; row 2 uses index 9, beyond
    // the table; row 3 has an odd literal and ends the bitmap early.
    expect_runs({3, 1, 0, 3, 2, 3, 0, 0, 0, 0, 2, 2, 0, 2, 1, 1,
                 1, 9, 2, 3, 0, 0, 0, 5, 0, 1, 2, 3, 0, 0, 0, 1},
                {3, 0x12, 0, 3,    0x23, 0, 0, 0, 2,    0x22, 0, 2, 1, 1,
                 1, 0x93, 2, 0x33, 0,    0, 0, 5, 0x01, 0x23, 0, 0, 0, 1},
                {"1r1230", "22....", "....33", "01230."});
    // Rows of a 5-pixel picture written out to their 8-pixel padding, as some writers do: the
    // pixels past the row's end are dropped and the stream goes on behind each whole run. 4-bit
    // runs alternate their two indices.
    // clang-format off
    expect_runs({8, 0,                            0, 0,    // 8 of index 0
                 0, 8, 1, 2, 3, 0, 1, 2, 3, 0,    0, 0,    // absolute 1 2 3 0 1 | 2 3 0
                 3, 2, 5, 3,                      0, 0,    // 3 of 2, 5 of 3 across the end
                 5, 1, 3, 0,                      0, 1},   // 5 of 1, 3 of 0 wholly past it
                {8, 0x00,                         0, 0,
                 0, 8, 0x12, 0x30, 0x12, 0x30,    0, 0,
                 3, 0x22, 5, 0x33,                0, 0,
                 5, 0x11, 3, 0x00,                0, 1},
                {"00000", "12301", "22233", "11111"});
    // clang-format on
    // Planet maps of 2048 x 1024 and pictures as tall are read whole.
    const PixelValue hash = [](int x, int y) {
        return std::uint32_t(x * 40503 ^ y * 2654435761u) >> 8;
    };
    for (auto [width, height] : {std::pair{2048, 1024}, {3, 2048}})
        expect_picture(bmp_24(width, height, hash), width, height, hash);
    EXPECT_TRUE(boxes.boxes().empty());
}

// Each gives no image and exactly one box captioned "Error" with its text. A long path is cut so
// that the text keeps ".\n" and fits 256 bytes: 256 less "Failed to open DIB file " (24), ".\n"
// and the NUL leave 229 bytes, or 228 where byte 229 would split a 3-byte Hangul character.
TEST(BitmapReader, BadFilesShowOneBoxWithTheirText) {
    MessageBoxRecorder boxes;
    const auto expect_failure = [&](bool no_image, const std::string& text) {
        EXPECT_TRUE(no_image);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text + " | " + boxes.boxes()[0].caption, text + " | Error");
        boxes.clear();
    };
    const ScratchDir dir;
    write_file(dir.path() + "/empty.bmp", {});
    // A FIFO without a writer: an open that waited for one would never return.
    ASSERT_EQ(mkfifo((dir.path() + "/fifo.bmp").c_str(), 0600), 0);
    std::string hangul = "/missing/";  // 9 bytes, then 73 whole characters and 1 byte of the 74th
    for (int i = 0; i < 100; ++i) hangul += "가";
    for (const std::string& path :
         {dir.path() + "/missing.bmp", dir.path() + "/empty.bmp", dir.path(),
          dir.path() + "/fifo.bmp", "/missing/" + std::string(300, 'a'), hangul})
        expect_failure(read_bitmap_image(path.c_str()) == nullptr,
                       "Failed to open DIB file " + path.substr(0, 229 - (path == hangul)) + ".\n");

    // A 24-bit header and 4096 bytes of pixels; a bit-field file cut inside its masks or pixels.
    const auto header_only = [](int width, int height, unsigned compression, unsigned size = 40) {
        return assemble_bitmap(true, info_header(width, height, 24, compression, 0, size), {}, 1024,
                               1, 32, [](int, int) { return 0u; });
    };
    const Bytes fields = format_file(formats[7], false, true, false),
                scattered = format_file({32, 3, {0xF0F00000, 0xFF00, 0xFF}, 0}, false, true, false);
    Bytes offset_past_end = bmp_24(1, 1, [](int, int) { return 0u; });
    offset_past_end[10] = 59;
    const std::pair<Bytes, std::string> cases[] = {
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'}, unknown},
        {header_only(1, 1, 0, 108), unknown},
        {Bytes(fields.begin(), fields.begin() + 14 + 40 + 11), unknown},
        {Bytes(fields.begin(), fields.end() - 1), conversion},
        {scattered, conversion},  // a mask whose bits are not one run
        {offset_past_end, conversion},
        {header_only(-5, 1, 0), conversion},
        {header_only(1, 1, 1), conversion},
        // Run lengths: no end-of-bitmap mark; an absolute run's data past the file's end; a run
        // below the last row of a 1-row picture.
        {rle_file(false, {2, 1, 0, 0}, true, 6, 4), conversion},
        {rle_file(false, {0, 6, 1, 2}, true, 6, 4), conversion},
        {rle_file(false, {1, 1, 0, 0, 1, 1, 0, 1}, true, 6, 1), conversion},
        {header_only(1, INT32_MIN, 0), "Out of memory."}};
    for (const auto& [file, text] : cases) {
        SCOPED_TRACE(&file - &cases[0].first);
        expect_failure(decode_bitmap_image(file.data(), file.size()) == nullptr, text);
    }
}

}  // namespace
