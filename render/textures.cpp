// The texture set (thirteen texture objects) and the texture display lists 1
// to 12, made from the planet pictures in the working directory.
#include "render/textures.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/file_lookup.h"

// ---------------------------------------------------------------------------
// Written by load_texture_set (texture_names: only when the whole set could be
// read) and build_texture_lists (list_images: one slot per list, refilled on
// every run). texture_names is read by the scene drawing in sphere mode 1;
// nothing reads list_images after its lists are recorded.
GLuint texture_names[texture_count] = {};
RgbImage* list_images[texture_list_count] = {};

// One picture of the set, at its texture index.
struct TextureFile {
    const char* set_name;   // read by load_texture_set
    GLuint list;            // recorded by build_texture_lists; 0: read but recorded nowhere
    const char* list_name;  // read by build_texture_lists
};

// The order is the texture index. "pluto.bmp" and "Pluto.bmp" are one file;
// the name lookup ignores letter case.
static constexpr TextureFile texture_files[texture_count] = {
    {"Sun.bmp", 1, "Sun.bmp"},         {"Mercury.bmp", 2, "Mercury.bmp"},
    {"Venus.bmp", 3, "Venus.bmp"},     {"earth.bmp", 4, "earth.bmp"},
    {"Moon.bmp", 5, "Moon.bmp"},       {"Mars.bmp", 6, "Mars.bmp"},
    {"Jupiter.bmp", 7, "Jupiter.bmp"}, {"Saturn.bmp", 8, "Saturn.bmp"},
    {"Uranus.bmp", 9, "Uranus.bmp"},   {"Neptune.bmp", 10, "Neptune.bmp"},
    {"pluto.bmp", 11, "Pluto.bmp"},    {"Saturn2.bmp", 0, "Saturn2.bmp"},
    {"Space.bmp", 12, "Space.bmp"},
};

// Frees an image as the reader allocated it: the pixels, then the record.
static void free_image(RgbImage* image) {
    if (image == nullptr) return;
    std::free(image->pixels);
    std::free(image);
}

// The reader on the file that `name` finds. A missing file is asked for
// under `name` itself, so that the reader's message names it as asked.
static RgbImage* read_by_name(const char* name) {
    return read_bitmap_image(resolve_file_name(name).c_str());
}

// Texture-image uploads from RgbImage records, whose rows are packed: the
// unpack alignment is 1 while the uploads run (OpenGL's default of 4 would
// read rows of widths not a multiple of 4 as padded and run past the end of
// the pixels), and the previous alignment comes back afterwards. A display
// list takes its copy of the pixels when it is recorded, so the alignment
// only has to hold while recording. Returns the previous alignment.
static GLint begin_packed_rows() {
    GLint saved_alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return saved_alignment;
}

static void end_packed_rows(GLint saved_alignment) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved_alignment);
}

// One upload of `image` into the bound texture object: level 0, three
// components, no border, RGB bytes, the bottom row first (t = 0). Sides that
// OpenGL refuses (beyond its largest texture size) make the upload a no-op.
static void upload_image(const RgbImage& image) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels);
}

RgbImage* load_bitmap_checked(const char* name) {
    if (name == nullptr) return nullptr;
    const std::string path = resolve_file_name(name);
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return nullptr;
    // A directory opens for reading here but cannot be read as a picture: only
    // a regular file counts as present.
    struct stat status;
    const bool regular = fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
    std::fclose(file);
    return regular ? read_bitmap_image(path.c_str()) : nullptr;
}

void load_texture_set() {
    RgbImage* images[texture_count] = {};
    bool complete = true;
    // The set is all or nothing: reading stops at the first picture missing.
    for (int index = 0; index < texture_count; ++index) {
        images[index] = load_bitmap_checked(texture_files[index].set_name);
        if (images[index] == nullptr) {
            complete = false;
            break;
        }
    }
    if (complete) {
        glGenTextures(texture_count, texture_names);
        GLint saved_alignment = begin_packed_rows();
        // The last object bound here (Space) stays bound.
        for (int index = 0; index < texture_count; ++index) {
            glBindTexture(GL_TEXTURE_2D, texture_names[index]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            upload_image(*images[index]);
        }
        end_packed_rows(saved_alignment);
    }
    for (RgbImage* image : images) free_image(image);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void build_texture_lists() {
    // Parameters of the texture object bound now; the lists set none.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    GLint saved_alignment = begin_packed_rows();
    for (const TextureFile& file : texture_files) {
        if (file.list == 0) {
            // Read in its turn like every picture, but no list is drawn from
            // it: its image goes at once.
            free_image(read_by_name(file.list_name));
            continue;
        }
        // Each list holds exactly one upload, or nothing when its picture
        // could not be read.
        glNewList(file.list, GL_COMPILE);
        RgbImage* image = read_by_name(file.list_name);
        RgbImage*& slot = list_images[file.list - 1];
        free_image(slot);
        slot = image;
        if (image != nullptr) upload_image(*image);
        glEndList();
    }
    end_packed_rows(saved_alignment);
}
