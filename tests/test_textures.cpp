// Texture set and texture display lists: objects, lists, failures, name case,
// memory across re-initialisations, packed rows.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render/file_lookup.h"
#include "render/textures.h"
#include "support/bitmap_writer.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

// Bytes in live heap blocks: the sanitizer's allocator under ASan (declared
// here; GCC ships no header for it), glibc's otherwise.
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
static std::size_t allocated_bytes() { return __sanitizer_get_current_allocated_bytes(); }
#else
static std::size_t allocated_bytes() { return mallinfo2().uordblks; }
#endif

namespace {
// The files as stored, by texture index: Pluto's once, as "Pluto.bmp".
const char* const stored_names[texture_count] = {
    "Sun.bmp",   "Mercury.bmp", "Venus.bmp",  "earth.bmp",  "Moon.bmp",
    "Mars.bmp",  "Jupiter.bmp", "Saturn.bmp", "Uranus.bmp", "Neptune.bmp",
    "Pluto.bmp", "Saturn2.bmp", "Space.bmp"};
const char not_a_bitmap[] = "Unknown DIB file format.";

// Picture `index`: widths 1 to 13, most not a multiple of 4, and rows that
// differ, so that an upload reading rows as padded shows in the texture.
int width_of(int index) { return 1 + index; }
int height_of(int index) { return 2 + index % 3; }
Rgb colour_of(int index, int x, int y) {
    return {static_cast<std::uint8_t>(19 * index), static_cast<std::uint8_t>(40 * x + y),
            static_cast<std::uint8_t>(60 * y)};
}
Bytes packed_rows(int index) {
    Bytes rows;
    for (int y = 0; y < height_of(index); ++y)
        for (int x = 0; x < width_of(index); ++x) {
            const Rgb c = colour_of(index, x, y);
            rows.insert(rows.end(), {c.red, c.green, c.blue});
        }
    return rows;
}

// A fresh temporary working directory for the lifetime of the object.
class WorkDir {
   public:
    WorkDir() : previous_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/orrery-textures-XXXXXX";
        path_ = mkdtemp(pattern);
        std::filesystem::current_path(path_);
    }
    ~WorkDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    // The thirteen pictures; `scale` > 0 makes them scale x scale instead.
    void write_set(int scale = 0) const {
        for (int i = 0; i < texture_count; ++i) {
            const int w = scale > 0 ? scale : width_of(i), h = scale > 0 ? scale : height_of(i);
            write_bmp_24(stored_names[i], w, h, [i](int x, int y) { return colour_of(i, x, y); });
        }
    }

   private:
    std::filesystem::path previous_, path_;
};

// The bound texture object's level-0 image as packed RGB rows.
Bytes bound_image() {
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    Bytes image(static_cast<std::size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!image.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}

// What list `n` uploads, seen in a texture object of its own.
Bytes list_upload(GLuint n) {
    GLuint object = 0;
    glGenTextures(1, &object);
    glBindTexture(GL_TEXTURE_2D, object);
    glCallList(n);
    return bound_image();
}

void expect_texturing_set_up() {
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(mode, GL_MODULATE);
}

// Pluto's file is found by "pluto.bmp" (the set) and "Pluto.bmp" (list 11)
// whatever the case of its stored name.
class AllPictures : public testing::TestWithParam<const char*> {};

TEST_P(AllPictures, MakeObjectsAndLists) {
    WorkDir dir;
    dir.write_set();
    if (std::string(GetParam()) != "Pluto.bmp") std::filesystem::rename("Pluto.bmp", GetParam());
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    MessageBoxRecorder boxes;
    load_texture_set();
    build_texture_lists();
    EXPECT_TRUE(boxes.boxes().empty());
    expect_texturing_set_up();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture_names[12]);
    for (int i = 0; i < texture_count; ++i) {
        glBindTexture(GL_TEXTURE_2D, texture_names[i]);
        GLint min_filter = 0, mag_filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag_filter);
        EXPECT_EQ(min_filter, GL_LINEAR) << i;
        EXPECT_EQ(mag_filter, GL_LINEAR) << i;
        EXPECT_EQ(bound_image(), packed_rows(i)) << "texture index " << i;
    }
    // Lists 1 to 11 hold pictures 0 to 10 (Pluto's under its own size); list
    // 12 holds Space's, not Saturn2's.
    for (GLuint n = 1; n <= 12; ++n) {
        const int index = n <= 11 ? static_cast<int>(n) - 1 : 12;
        EXPECT_EQ(list_upload(n), packed_rows(index)) << "list " << n;
        ASSERT_NE(list_images[n - 1], nullptr);
        EXPECT_EQ(list_images[n - 1]->width, width_of(index)) << "list " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(PlutoStoredAs, AllPictures,
                         testing::Values("Pluto.bmp", "pluto.bmp", "PLUTO.BMP"));

// Set abandoned (no name generated, nothing bound, names kept), lists of the
// failed pictures empty, the reader's boxes in order.
TEST(TextureSet, FailedPicturesAbandonTheSetAndLeaveTheirListsEmpty) {
    struct Case {
        const char* what;
        std::vector<int> missing, garbled;  // texture indices
        std::vector<std::string> boxes;
        std::vector<GLuint> empty_lists;
    };
    const Case cases[] = {
        {"Space missing", {12}, {}, {"Failed to open DIB file Space.bmp.\n"}, {12}},
        // Reading stops at Moon, so Space's box comes from the lists only.
        {"Moon and Space not bitmaps",
         {},
         {4, 12},
         {not_a_bitmap, not_a_bitmap, not_a_bitmap},
         {5, 12}},
        {"earth missing, Space not a bitmap",
         {3},
         {12},
         {"Failed to open DIB file earth.bmp.\n", not_a_bitmap},
         {4, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkDir dir;
        dir.write_set();
        for (int i : c.missing) std::filesystem::remove(stored_names[i]);
        for (int i : c.garbled)
            write_file(stored_names[i], Bytes{'n', 'o', 't', ' ', 'B', 'M', '\n'});
        for (GLuint& name : texture_names) name = 4242;
        OffscreenGl gl;
        MessageBoxRecorder boxes;
        load_texture_set();
        build_texture_lists();
        std::vector<std::string> texts;
        for (const RecordedBox& box : boxes.boxes()) {
            texts.push_back(box.text);
            EXPECT_EQ(box.caption, "Error");
        }
        EXPECT_EQ(texts, c.boxes);
        for (GLuint name : texture_names) EXPECT_EQ(name, 4242u);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        expect_texturing_set_up();
        for (GLuint n : c.empty_lists) EXPECT_TRUE(list_upload(n).empty()) << "list " << n;
        EXPECT_EQ(list_upload(11), packed_rows(10));
        GLuint first_name = 0;
        glGenTextures(1, &first_name);  // would be 14 or more after a made set
        EXPECT_LT(first_name, 14u);
    }
}

TEST(FileLookup, ExactNameFirstThenAnyCase) {
    WorkDir dir;
    write_file("Pluto.bmp", Bytes{1});
    write_file("pluto.bmp", Bytes{2});
    EXPECT_EQ(resolve_file_name("pluto.bmp"), "pluto.bmp");
    EXPECT_EQ(resolve_file_name("PLUTO.BMP"), "Pluto.bmp");  // smallest of the two
    EXPECT_EQ(resolve_file_name("Plut.bmp"), "Plut.bmp");    // nothing: the name as asked
    EXPECT_EQ(resolve_file_name("./PLUTO.BMP"), "./PLUTO.BMP");
    MessageBoxRecorder boxes;
    EXPECT_EQ(load_bitmap_checked(nullptr), nullptr);
    EXPECT_EQ(load_bitmap_checked("Plut.bmp"), nullptr);
    EXPECT_TRUE(boxes.boxes().empty());
}

// Each run refills the list slots and drops Saturn2's picture; the images of
// earlier runs must go. One 128 x 128 picture kept per run would add 930 KiB
// over the runs; the contexts themselves leave about 125 KiB behind.
TEST(TextureSet, ReinitialisationsDoNotAccumulateImages) {
    constexpr int side = 128, runs = 20;
    constexpr std::size_t one_picture_per_run = std::size_t{side} * side * 3 * (runs - 1);
    WorkDir dir;
    dir.write_set(side);
    std::size_t after_first = 0;
    for (int run = 0; run < runs; ++run) {
        {
            OffscreenGl gl;
            load_texture_set();
            build_texture_lists();
        }
        if (run == 0) after_first = allocated_bytes();
    }
    const std::size_t after_last = allocated_bytes();
    EXPECT_LT(after_last, after_first + one_picture_per_run / 2)
        << after_last - after_first << " bytes more";
}
}  // namespace
