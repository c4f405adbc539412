// The bitmap reader on Windows: its file map opens UTF-8 names through the
// wide API, reads Windows paths in any letter case, and refuses what is not
// a picture file with the one open-failure box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "image/bitmap_reader.h"
#include "render/file_lookup.h"
#include "support/bitmap_writer.h"
#include "windows/box_recorder.h"

namespace {

// A fresh folder under the temporary folder, with a Korean name, made the
// working directory for the test; removed with its files afterwards.
class KoreanFolder : public testing::Test {
   protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"\uD589\uC131-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
        recorded_boxes().clear();
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_);
        for (const wchar_t* name : {L"\uC9C0\uAD6C.bmp", L"Earth.bmp", L"empty.bmp"}) {
            DeleteFileW((folder_ + L"\\" + name).c_str());
        }
        RemoveDirectoryW((folder_ + L"\\sub.bmp").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_;
    wchar_t previous_[MAX_PATH] = {};
};

// Pixels as 0xRRGGBB from the bottom row; empty for no image.
std::vector<std::uint32_t> pixels_of(RgbImage* image) {
    std::vector<std::uint32_t> pixels;
    if (image == nullptr) return pixels;
    pixels.push_back(std::uint32_t(image->width));
    pixels.push_back(std::uint32_t(image->height));
    for (int i = 0; i < image->width * image->height * 3; i += 3) {
        const std::uint8_t* p = image->pixels + i;
        pixels.push_back(std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2]);
    }
    std::free(image->pixels);
    std::free(image);
    return pixels;
}

void write_wide(const std::wstring& name, const Bytes& bytes) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST_F(KoreanFolder, PicturesAreReadByUtf8NamesAndWindowsPathsInAnyLetterCase) {
    // 2 x 2, bottom row red and green, top row blue and white.
    const Bytes picture = bmp_24(2, 2, [](int x, int y) {
        return y == 0 ? (x == 0 ? 0xFF0000u : 0x00FF00u) : (x == 0 ? 0x0000FFu : 0xFFFFFFu);
    });
    const std::vector<std::uint32_t> expected{2, 2, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    write_wide(L"\uC9C0\uAD6C.bmp", picture);
    write_wide(L"Earth.bmp", picture);
    EXPECT_EQ(pixels_of(read_bitmap_image("지구.bmp")), expected);
    EXPECT_EQ(pixels_of(read_bitmap_image(resolve_file_name("EARTH.BMP").c_str())), expected);
    EXPECT_EQ(pixels_of(read_bitmap_image((std::string(".\\") + "earth.bmp").c_str())), expected);
    EXPECT_TRUE(recorded_boxes().empty());
}

TEST_F(KoreanFolder, MissingEmptyAndFolderNamesEachShowTheOpenFailureOnce) {
    write_wide(L"empty.bmp", {});
    ASSERT_TRUE(CreateDirectoryW(L"sub.bmp", nullptr));
    for (const char* name : {"Sun.bmp", "empty.bmp", "sub.bmp"}) {
        recorded_boxes().clear();
        EXPECT_EQ(read_bitmap_image(name), nullptr);
        ASSERT_EQ(recorded_boxes().size(), 1u) << name;
        EXPECT_EQ(recorded_boxes()[0].text, std::string("Failed to open DIB file ") + name + ".\n");
        EXPECT_EQ(recorded_boxes()[0].caption, "Error");
        EXPECT_EQ(recorded_boxes()[0].flags, unsigned{MB_OK});
    }
}

}  // namespace
