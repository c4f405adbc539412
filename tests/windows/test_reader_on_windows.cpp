// The bitmap reader on Windows: its file map opens UTF-8 names through the
// wide API and Windows paths in any letter case, and refuses what is not a
// picture file with the one open-failure box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/bitmap_reader.h"
#include "platform/window_system.h"
#include "render/file_lookup.h"
#include "support/bitmap_writer.h"

namespace fs = std::filesystem;
static std::vector<std::string> boxes;  // "caption: text (flags)"

// Takes the layer's place at link time: each box is kept and answered with OK.
int message_box(WindowHandle, const char* text, const char* caption, unsigned flags) {
    boxes.push_back(std::string(caption) + ": " + text + " (" + std::to_string(flags) + ")");
    return IDOK;
}

namespace {

// Width, height, then each pixel's red, green and blue from the bottom row;
// empty for no image.
Bytes pixels_of(RgbImage* image) {
    if (image == nullptr) return {};
    Bytes pixels{std::uint8_t(image->width), std::uint8_t(image->height)};
    pixels.insert(pixels.end(), image->pixels, image->pixels + image->width * image->height * 3);
    std::free(image->pixels), std::free(image);
    return pixels;
}

void write(const fs::path& name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(ReaderInAKoreanFolder, ReadsUtf8NamesAndWindowsPathsInAnyCaseAndRefusesWhatIsNoPictureOnce) {
    const fs::path folder =
        fs::temp_directory_path() / (L"\uD589\uC131-" + std::to_wstring(GetCurrentProcessId()));
    ASSERT_TRUE(fs::create_directory(folder));
    fs::current_path(folder);
    // 2 x 2, bottom row red and green, top row blue and white.
    const Bytes picture = bmp_24(2, 2, [](int x, int y) {
        return y == 0 ? (x == 0 ? 0xFF0000u : 0x00FF00u) : (x == 0 ? 0x0000FFu : 0xFFFFFFu);
    });
    const Bytes expected{2, 2, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    write(L"\uC9C0\uAD6C.bmp", picture);
    write(L"Earth.bmp", picture);
    EXPECT_EQ(pixels_of(read_bitmap_image("지구.bmp")), expected);
    EXPECT_EQ(pixels_of(read_bitmap_image(resolve_file_name(".\\EARTH.BMP").c_str())), expected);
    EXPECT_TRUE(boxes.empty());
    // Missing, empty and a folder: one box each.
    write(L"empty.bmp", {});
    ASSERT_TRUE(fs::create_directory("sub.bmp"));
    for (const std::string name : {"Sun.bmp", "empty.bmp", "sub.bmp"}) {
        boxes.clear();
        EXPECT_EQ(read_bitmap_image(name.c_str()), nullptr);
        EXPECT_EQ(boxes, std::vector<std::string>{"Error: Failed to open DIB file " + name +
                                                  ".\n (" + std::to_string(MB_OK) + ")"});
    }
    fs::current_path(folder.parent_path());
    fs::remove_all(folder);
}

}  // namespace
