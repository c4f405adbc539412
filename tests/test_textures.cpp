// Tests of the texture set and the texture display lists built from the thirteen pictures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render/textures.h"
#include "support/bitmap_writer.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

namespace {
const char* const stored_names[texture_count] = {
    "Sun.bmp",   "Mercury.bmp", "Venus.bmp",  "earth.bmp",  "Moon.bmp",
    "Mars.bmp",  "Jupiter.bmp", "Saturn.bmp", "Uranus.bmp", "Neptune.bmp",
    "Pluto.bmp", "Saturn2.bmp", "Space.bmp"};

// Picture i is 1 + i wide (mostly not a multiple of 4) with rows that differ, so that an upload
// reading its rows as padded shows.
std::uint32_t colour_of(int i, int x, int y) {
    return std::uint32_t(19 * i) << 16 | (40 * x + y) % 256 << 8 | 60 * y % 256;
}
Bytes packed_rows(int i) {
    Bytes rows;
    for (int y = 0; y < 2 + i % 3; ++y)
        for (int x = 0; x < 1 + i; ++x)
            for (int shift : {16, 8, 0}) rows.push_back(std::uint8_t(colour_of(i, x, y) >> shift));
    return rows;
}

// The level-0 image of the bound texture as packed rows.
Bytes texture_image() {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    Bytes image(std::size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}

// Pluto's file stored as `pluto_as`; the picture of index `failed` missing ('m'), not a bitmap
// ('g') or a directory ('d'); the boxes shown.
struct Scenario {
    const char* name;
    const char* pluto_as;
    int failed;
    char how;
    std::vector<std::string> boxes;
};
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
class Textures : public testing::TestWithParam<Scenario> {};

// A temporary working directory holding the thirteen pictures, as above or all side x side.
struct PictureDir {
    PictureDir() {
        char pattern[] = "/tmp/orrery-textures-XXXXXX";
        std::filesystem::current_path(path = mkdtemp(pattern));
        for (int i = 0; i < texture_count; ++i) {
            write_file(stored_names[i],
                       bmp_24(1 + i, 2 + i % 3, [i](int x, int y) { return colour_of(i, x, y); }));
        }
    }
    ~PictureDir() {
        std::filesystem::current_path("/");
        std::filesystem::remove_all(path);
    }
    std::filesystem::path path;
};

// A complete set: 13 objects, index 12's bound; a failed picture: none, nothing bound. List n
// uploads picture n - 1 (Pluto's under its own size), list 12 Space's, a failed picture's none.
TEST_P(Textures, BuildTheSetAndTheLists) {
    const Scenario& scenario = GetParam();
    PictureDir dir;
    std::filesystem::rename("Pluto.bmp", scenario.pluto_as);
    if (scenario.failed >= 0) std::filesystem::remove(stored_names[scenario.failed]);
    if (scenario.how == 'g') write_file(stored_names[scenario.failed], {'n', 'o', 't', ' ', 'B'});
    if (scenario.how == 'd') std::filesystem::create_directory(stored_names[scenario.failed]);
    OffscreenGl gl;
    MessageBoxRecorder boxes;
    load_texture_set();
    build_texture_lists();
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes.boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, scenario.boxes);
    GLint mode = 0, bound = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(GLuint(bound), scenario.failed < 0 ? texture_names[12] : 0);
    GLuint next_name = 0;
    glGenTextures(1, &next_name);
    EXPECT_EQ(next_name, scenario.failed < 0 ? 14u : 1u);
    // After an abandoned set the default object 0 gets the lists' filters, no picture until a
    // list fills it.
    const bool set = scenario.failed < 0;
    for (int i = 0; i < (set ? texture_count : 1); ++i) {
        glBindTexture(GL_TEXTURE_2D, set ? texture_names[i] : 0);
        GLint min_filter = 0, mag_filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag_filter);
        EXPECT_TRUE(min_filter == GL_LINEAR && mag_filter == GL_LINEAR) << "texture index " << i;
        EXPECT_EQ(texture_image(), set ? packed_rows(i) : Bytes{}) << "texture index " << i;
    }
    glCallList(3);
    EXPECT_EQ(texture_image(), packed_rows(2));
    for (int n = 1; n <= 12; ++n) {
        const int index = n <= 11 ? n - 1 : 12;
        glBindTexture(GL_TEXTURE_2D, 1000 + n);  // a fresh object
        glCallList(n);
        EXPECT_EQ(texture_image(), index == scenario.failed ? Bytes{} : packed_rows(index)) << n;
    }
}

const std::string not_a_bitmap = "Unknown DIB file format.";
INSTANTIATE_TEST_SUITE_P(
    Pictures, Textures,
    testing::Values(
        Scenario{"AllPresent", "pluto.bmp", -1, 0, {}},
        Scenario{"PlutoInCapitals", "PLUTO.BMP", -1, 0, {}},
        Scenario{"SpaceMissing", "Pluto.bmp", 12, 'm', {"Failed to open DIB file Space.bmp.\n"}},
        Scenario{"SunADirectory", "Pluto.bmp", 0, 'd', {"Failed to open DIB file Sun.bmp.\n"}},
        Scenario{"MoonNotABitmap", "Pluto.bmp", 4, 'g', {not_a_bitmap, not_a_bitmap}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });
}  // namespace
