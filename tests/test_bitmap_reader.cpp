// Tests of the bitmap reader: every supported pixel format in both header
// kinds, run-length streams, the format's corner cases, and each failure's box.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "image/bitmap_decode.h"
#include "image/bitmap_reader.h"
#include "support/bitmap_writer.h"
#include "support/message_box_recorder.h"

namespace {

const std::string unknown_format = "Unknown DIB file format.";
const std::string conversion_error = "Image file conversion error.";
const std::string out_of_memory = "Out of memory.";
const Rgb black{0, 0, 0};

struct ImageDeleter {
    void operator()(RgbImage* image) const {
        std::free(image->pixels);
        std::free(image);
    }
};
using ImagePtr = std::unique_ptr<RgbImage, ImageDeleter>;

// Checks the size and every pixel; y = 0 is the picture's bottom row, which
// must be the buffer's first.
void expect_picture(const RgbImage* image, int width, int height, const ColourAt& expected) {
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, width);
    ASSERT_EQ(image->height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = image->pixels + (std::size_t(y) * width + x) * 3;
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), expected(x, y)) << "pixel " << x << ", " << y;
        }
    }
}

Rgb palette_colour(std::uint32_t i) {
    return {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7 + 1)};
}

class BitmapReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/bitmap_reader_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    ImagePtr read_path(const std::string& path) {
        return ImagePtr(read_bitmap_image(path.c_str()));
    }
    ImagePtr read(const Bytes& bytes) {
        EXPECT_TRUE(write_file(dir_ + "/picture.bmp", bytes));
        return read_path(dir_ + "/picture.bmp");
    }

    // Exactly one box, with this text, captioned "Error", with an OK button,
    // owned by the focus window (none here), and no image.
    void expect_failure(const ImagePtr& image, const std::string& text) {
        EXPECT_EQ(image, nullptr);
        ASSERT_EQ(boxes_.boxes().size(), 1u);
        const RecordedBox& box = boxes_.boxes()[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.flags, MB_OK);
        EXPECT_EQ(box.owner, nullptr);
        boxes_.clear();
    }

    MessageBoxRecorder boxes_;
    std::string dir_;
};

// ---------------------------------------------------------------------------
// Uncompressed and bit-field formats, on a 13 x 3 picture (odd: every
// format's stored rows need padding).

struct FormatCase {
    const char* name;
    int bits;
    std::uint32_t compression;
    std::uint32_t masks[3];  // red, green, blue; written behind the header for compression 3
};
const FormatCase formats[] = {
    {"1 bit", 1, 0, {}},
    {"4 bits", 4, 0, {}},
    {"8 bits", 8, 0, {}},
    {"24 bits", 24, 0, {0xFF0000, 0xFF00, 0xFF}},
    {"16 bits, 5-5-5", 16, 0, {0x7C00, 0x03E0, 0x001F}},
    {"32 bits", 32, 0, {0xFF0000, 0xFF00, 0xFF}},
    {"16-bit fields 5-6-5", 16, 3, {0xF800, 0x07E0, 0x001F}},
    {"16-bit fields 4-4-none", 16, 3, {0x0F00, 0x00F0, 0}},
    {"32-bit fields 8-8-8", 32, 3, {0xFF0000, 0xFF00, 0xFF}},
    {"32-bit fields 10-10-10", 32, 3, {0x3FF00000, 0x000FFC00, 0x3FF}},
};

// Varied values; the unused bits of 16- and 32-bit pixels are set too.
std::uint32_t stored_value(const FormatCase& format, int x, int y) {
    const std::uint32_t hash = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y + 1) * 40503u;
    return format.bits == 32 ? hash : hash % (1u << format.bits);
}

// A table entry, or each masked channel widened (by repeating its top bits)
// or cut to 8 bits.
Rgb expected_colour(const FormatCase& format, std::uint32_t value) {
    if (format.bits <= 8) return palette_colour(value);
    std::uint8_t c[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t mask = format.masks[i];
        if (mask == 0) continue;
        const unsigned v = (value & mask) >> __builtin_ctz(mask);
        const int bits = __builtin_popcount(mask);
        c[i] = std::uint8_t(bits == 4   ? v << 4 | v
                            : bits == 5 ? v << 3 | v >> 2
                            : bits == 6 ? v << 2 | v >> 4
                                        : v >> (bits - 8));
    }
    return {c[0], c[1], c[2]};
}

Bytes format_file(const FormatCase& format, bool core, bool file_header, bool top_down) {
    InfoHeader info;
    info.width = 13;
    info.height = top_down ? -3 : 3;
    info.bits_per_pixel = std::uint16_t(format.bits);
    info.compression = format.compression;
    Bytes after_header;
    if (format.compression == 3) {
        for (std::uint32_t mask : format.masks) append_u32(&after_header, mask);
    }
    std::vector<Rgb> table;
    for (int i = 0; format.bits <= 8 && i < (1 << format.bits); ++i)
        table.push_back(palette_colour(i));
    append_bytes(&after_header, colour_table(table, core));
    return assemble_bitmap(file_header,
                           core ? core_header(13, 3, info.bits_per_pixel) : info_header(info),
                           after_header, pixel_rows(13, 3, format.bits, [&](int x, int row) {
                               return stored_value(format, x, top_down ? 2 - row : row);
                           }));
}

TEST_F(BitmapReaderTest, EveryFormatInBothHeaderKindsGivesItsColours) {
    for (const FormatCase& format : formats) {
        for (int variant = 0; variant < 8; ++variant) {
            const bool core = variant & 1, file_header = variant & 2, top_down = variant & 4;
            if (core && (format.compression != 0 || top_down))
                continue;  // core headers have neither
            SCOPED_TRACE(::testing::Message() << format.name << (core ? ", core" : ", info")
                                              << (file_header ? ", BM" : ", headerless")
                                              << (top_down ? ", top-down" : ""));
            const ImagePtr image = read(format_file(format, core, file_header, top_down));
            expect_picture(image.get(), 13, 3, [&](int x, int y) {
                return expected_colour(format, stored_value(format, x, y));
            });
            EXPECT_TRUE(boxes_.boxes().empty());
        }
    }
}

// ---------------------------------------------------------------------------
// Corner cases of the format.

TEST_F(BitmapReaderTest, OnePixelAndTwoRowsComeOutRgbBottomRowFirstWithoutPadding) {
    ImagePtr image = read(bmp_24_bytes(1, 1, [](int, int) { return Rgb{0x30, 0x20, 0x10}; }));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Bytes(image->pixels, image->pixels + 3), (Bytes{0x30, 0x20, 0x10}));

    const Bytes file = bmp_24_bytes(5, 2, [](int, int y) {
        return y == 0 ? Rgb{255, 255, 255} : black;
    });
    ASSERT_EQ(file.size(), 54u + 2 * 16);  // stored rows are padded to 16 bytes
    image = read(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Bytes(image->pixels, image->pixels + 30), [] {
        Bytes rows(15, 255);
        rows.resize(30, 0);
        return rows;
    }());
}

TEST_F(BitmapReaderTest, TablesAndOffsetsArePlacedAsTheHeadersSay) {
    // A 24-bit picture with colours used 16: the table is skipped, with and without file header.
    InfoHeader header;
    header.width = 2;
    header.colours_used = 16;
    const Bytes table = colour_table(std::vector<Rgb>(16, Rgb{1, 2, 3}));
    const Bytes pixels =
        pixel_rows(2, 1, 24, [](int x, int) { return x == 0 ? 0x102030u : 0x405060u; });
    for (bool file_header : {true, false}) {
        const ImagePtr image =
            read(assemble_bitmap(file_header, info_header(header), table, pixels));
        expect_picture(image.get(), 2, 1, [](int x, int) {
            return x == 0 ? Rgb{0x10, 0x20, 0x30} : Rgb{0x40, 0x50, 0x60};
        });
    }
    // The file header's offset is used as given, past a gap.
    Bytes file = bmp_24_bytes(1, 1, [](int, int) { return Rgb{9, 9, 9}; });
    file.insert(file.begin() + 54, 7, 0xEE);
    put_u32(&file, 10, 54 + 7);
    expect_picture(read(file).get(), 1, 1, [](int, int) { return Rgb{9, 9, 9}; });
    // Colours used counts with its low 16 bits: 2 entries, headerless pixels at 40 + 8;
    // indices beyond the table are black.
    header = InfoHeader{};
    header.width = 4;
    header.bits_per_pixel = 8;
    header.colours_used = 0x10002;
    file = assemble_bitmap(false, info_header(header), colour_table({{10, 20, 30}, {40, 50, 60}}),
                           pixel_rows(4, 1, 8, [](int x, int) { return x * 85; }));
    expect_picture(read(file).get(), 4, 1, [](int x, int) {
        return x == 0 ? Rgb{10, 20, 30} : black;
    });
    // The widest accepted picture.
    const ImagePtr wide = read(bmp_24_bytes(32768, 1, [](int x, int) {
        return Rgb{std::uint8_t(x), 0, 0};
    }));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->pixels[3 * 32767], 0xFF);
}

// ---------------------------------------------------------------------------
// Run-length streams on a 6 x 4 picture with a 4-entry table.

Bytes run_length_file(bool four_bit, const Bytes& stream, bool file_header = true, int height = 4) {
    InfoHeader header;
    header.width = 6;
    header.height = height;
    header.bits_per_pixel = four_bit ? 4 : 8;
    header.compression = four_bit ? 2 : 1;
    header.colours_used = 4;
    const Bytes table =
        colour_table({palette_colour(1), palette_colour(2), palette_colour(3), palette_colour(4)});
    return assemble_bitmap(file_header, info_header(header), table, stream);
}

// Row 0 ends early; row 1 is left by a delta that skips pixels; row 2 uses an
// index beyond the table; row 3 has an odd literal and ends the bitmap early.
Bytes sample_stream(bool four_bit) {
    RunLengthStream s(four_bit);
    s.run(3, four_bit ? 0x12 : 1).literal({2, 3, 0}).end_of_line();
    s.run(2, four_bit ? 0x22 : 2).delta(1, 1);
    s.run(1, four_bit ? 0x93 : 9).run(2, four_bit ? 0x33 : 3).end_of_line();
    s.literal({0, 1, 2, 3, 0}).end_of_bitmap();
    return s.bytes();
}

TEST_F(BitmapReaderTest, RunLengthStreamsDecodeRunsLiteralsDeltasAndLineEnds) {
    static const int indices[4][6] = {// by row from the bottom; -1 is black
                                      {1, 0, 1, 2, 3, 0},
                                      {2, 2, -1, -1, -1, -1},
                                      {-1, -1, -1, -1, 3, 3},
                                      {0, 1, 2, 3, 0, -1}};
    for (int variant = 0; variant < 6; ++variant) {
        const bool four_bit = variant & 1, file_header = variant != 2 && variant != 3;
        const bool top_down = variant >= 4;
        SCOPED_TRACE(variant);
        const ImagePtr image = read(
            run_length_file(four_bit, sample_stream(four_bit), file_header, top_down ? -4 : 4));
        expect_picture(image.get(), 6, 4, [&](int x, int y) {
            const int row = top_down ? 3 - y : y;
            const int index = row == 0 && x == 1 ? (four_bit ? 2 : 1) : indices[row][x];
            return index < 0 ? black : palette_colour(index + 1);
        });
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

// ---------------------------------------------------------------------------
// Failures.

TEST_F(BitmapReaderTest, FilesThatCannotBeOpenedNameThePathInAText256BytesAtMost) {
    const std::string empty = dir_ + "/empty.bmp", fifo = dir_ + "/fifo.bmp";
    ASSERT_TRUE(write_file(empty, {}));
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir_ + "/missing.bmp", empty, dir_, fifo}) {
        expect_failure(read_path(path), "Failed to open DIB file " + path + ".\n");
    }
    // Long paths are cut to 229 bytes, never inside a UTF-8 character: from
    // offset 2 on, byte 229 continues a two-byte character.
    const std::string ascii = "/missing/" + std::string(300, 'a');
    expect_failure(read_path(ascii), "Failed to open DIB file " + ascii.substr(0, 229) + ".\n");
    std::string utf8 = "/m";
    for (int i = 0; i < 150; ++i) utf8 += "\xC3\xA9";
    expect_failure(read_path(utf8), "Failed to open DIB file " + utf8.substr(0, 228) + ".\n");
}

Bytes header_only(std::int32_t width, std::int32_t height, std::uint16_t bits = 24,
                  std::uint32_t compression = 0, std::uint32_t header_size = 40) {
    InfoHeader header;
    header.width = width;
    header.height = height;
    header.bits_per_pixel = bits;
    header.compression = compression;
    header.header_size = header_size;
    Bytes masks;
    for (std::uint32_t mask : {0xF000u, 0x0F00u, 0x00F0u}) append_u32(&masks, mask);
    return assemble_bitmap(true, info_header(header), masks, Bytes(4096, 0));
}

TEST_F(BitmapReaderTest, BadFilesShowOneBoxWithTheirText) {
    RunLengthStream (*rle)() = [] { return RunLengthStream(false); };
    auto rows_ended = [] {
        RunLengthStream s(false);
        for (int i = 0; i < 4; ++i) s.end_of_line();
        return s;
    };
    Bytes offset_past_end = bmp_24_bytes(1, 1, [](int, int) { return black; });
    put_u32(&offset_past_end, 10, 59);
    Bytes split_mask = header_only(1, 1, 16, 3);
    put_u32(&split_mask, 54, 0x8001);
    const std::pair<Bytes, std::string> cases[] = {
        // Not bitmaps, and header sizes other than 12 and 40.
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'},
         unknown_format},
        {{'h', 'e', 'l', 'l', 'o', '\n'}, unknown_format},
        {{'B', 'M', 0, 0}, unknown_format},
        {header_only(1, 1, 24, 0, 108), unknown_format},
        {header_only(1, 1, 24, 0, 124), unknown_format},
        {header_only(1, 1, 24, 0, 64), unknown_format},
        // Pixels that start past the end; sizes empty, negative or absurd.
        {offset_past_end, conversion_error},
        {header_only(0, 1), conversion_error},
        {header_only(1, 0), conversion_error},
        {header_only(-5, 1), conversion_error},
        {header_only(INT32_MIN, 1), conversion_error},
        {header_only(32769, 1), out_of_memory},
        {header_only(1, -32769), out_of_memory},
        {header_only(1, INT32_MIN), out_of_memory},
        {header_only(16385, 16385), out_of_memory},
        {header_only(32768, 8193), out_of_memory},
        {assemble_bitmap(false, core_header(65535, 1, 24), {}, {}), out_of_memory},
        // Depths and compressions that do not go together, and a mask with a gap.
        {header_only(1, 1, 0), conversion_error},
        {header_only(1, 1, 2), conversion_error},
        {header_only(1, 1, 64), conversion_error},
        {header_only(1, 1, 24, 1), conversion_error},
        {header_only(1, 1, 4, 1), conversion_error},
        {header_only(1, 1, 8, 2), conversion_error},
        {header_only(1, 1, 8, 3), conversion_error},
        {header_only(1, 1, 24, 3), conversion_error},
        {header_only(1, 1, 16, 4), conversion_error},
        {header_only(1, 1, 32, 5), conversion_error},
        {split_mask, conversion_error},
        // Run-length streams that run off the picture or off their end.
        {run_length_file(false, rle().run(7, 1).end_of_bitmap().bytes()), conversion_error},
        {run_length_file(false, rle().run(4, 1).literal({1, 2, 3}).end_of_bitmap().bytes()),
         conversion_error},
        {run_length_file(false, rle().delta(7, 0).end_of_bitmap().bytes()), conversion_error},
        {run_length_file(false, rle().delta(0, 5).end_of_bitmap().bytes()), conversion_error},
        {run_length_file(false, rows_ended().end_of_line().end_of_bitmap().bytes()),
         conversion_error},
        {run_length_file(false, rows_ended().run(1, 1).end_of_bitmap().bytes()), conversion_error},
        {run_length_file(false, rle().run(1, 1).bytes()), conversion_error},
        {run_length_file(false, {0, 3, 1, 2}), conversion_error},  // literal cut short
        {run_length_file(false, {1, 1, 0}), conversion_error},
        {run_length_file(false, {0, 2, 1}), conversion_error},
        {run_length_file(false, {}), conversion_error},
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(&bytes - &cases[0].first);
        expect_failure(read(bytes), text);
    }
}

// Cuts valid files at every length: up to the end of the headers, masks and
// colour table the format is unknown; after that the pixels end early.
TEST_F(BitmapReaderTest, EveryTruncationIsRefused) {
    const std::pair<Bytes, std::size_t> cases[] = {
        {format_file(formats[2], false, true, false), 14 + 40 + 1024},
        {format_file(formats[1], true, false, false), 12 + 16 * 3},
        {format_file(formats[6], false, true, false), 14 + 40 + 12},
        {run_length_file(true, sample_stream(true)), 14 + 40 + 16},
    };
    for (const auto& [file, tables_end] : cases) {
        for (std::size_t length = 1; length < file.size(); ++length) {
            SCOPED_TRACE(length);
            expect_failure(ImagePtr(decode_bitmap_image(file.data(), length)),
                           length < tables_end ? unknown_format : conversion_error);
        }
        EXPECT_NE(ImagePtr(decode_bitmap_image(file.data(), file.size())), nullptr);
    }
}

}  // namespace
