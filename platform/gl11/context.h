// A subset context: the fixed-function state of OpenGL 1.1 that the program
// uses, its texture objects and display lists, and its ES 2 drawing.
#pragma once

#include <GL/gl.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "platform/gl11/es_renderer.h"
#include "platform/gl11/matrix.h"

// A picture as a display list keeps it: RGB rows, packed, the bottom row first.
// Uploaded once into an ES 2 texture of its own (when a replay first needs it),
// which the texture objects the list loads it into then show.
struct RecordedImage {
    int width, height;
    std::vector<unsigned char> rgb;
    mutable std::uint32_t es_texture = 0;
};

// One command of a display list.
struct ListCommand {
    enum class Kind : unsigned char {
        begin,
        end,
        vertex,
        normal,
        tex_coord,
        colour,
        tex_image,
        call
    };
    Kind kind;
    GLenum mode;                                 // begin
    GLuint list;                                 // call
    float v[4];                                  // vertex, normal, tex_coord, colour
    std::shared_ptr<const RecordedImage> image;  // tex_image
};

// A texture object: its own ES 2 texture, or the one of the recorded image a
// display list loaded into it last; and its parameters, which are given to
// whichever ES 2 texture it shows.
struct TextureObject {
    std::uint32_t own_es_texture = 0;
    std::uint32_t es_texture = 0;  // own_es_texture, or a recorded image's
    int width = 0, height = 0;     // 0 until an image is given
    // The image given last, kept to be uploaded again when the ES 2 context
    // is lost and restored; shown from its own ES 2 texture when a list gave it.
    std::shared_ptr<const RecordedImage> image;
    bool image_from_list = false;
    // OpenGL's initial parameters: GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR,
    // GL_REPEAT, GL_REPEAT.
    GLint min_filter = 0x2702, mag_filter = GL_LINEAR, wrap_s = GL_REPEAT, wrap_t = GL_REPEAT;
};

struct KeptList;
// A display list: kept as geometry (kept_list.h), or as its commands.
struct DisplayList {
    std::shared_ptr<KeptList> kept;
    std::shared_ptr<const std::vector<ListCommand>> commands;
};

struct MatrixStack {
    std::vector<Matrix> matrices;
    std::size_t depth_limit;
    Matrix& top() { return matrices.back(); }
};

struct Gl11Context {
    // Matrices: OpenGL's stacks of 32 modelview and 2 projection matrices at least.
    MatrixStack modelview{{identity_matrix()}, 32};
    MatrixStack projection{{identity_matrix()}, 32};
    GLenum matrix_mode = GL_MODELVIEW;

    // Current vertex attributes, and the vertices of an open glBegin.
    std::array<float, 4> colour{1, 1, 1, 1};
    std::array<float, 3> normal{0, 0, 1};
    std::array<float, 2> tex_coord{0, 0};
    bool inside_begin = false;
    GLenum primitive = GL_POINTS;
    std::vector<EsVertex> vertices;

    // Switches and fixed state, with OpenGL's initial values.
    bool lighting = false, colour_material = false, depth_test = false, normalize = false;
    bool texture_2d = false;
    bool light_on[2] = {false, false};
    EsLight lights[2] = {
        {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 1, 0}},
        {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 1, 0}},
    };
    std::array<float, 4> model_ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> material_ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> material_diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> material_specular{0, 0, 0, 1};
    std::array<float, 4> material_emission{0, 0, 0, 1};
    float shininess = 0.0f;
    GLenum colour_material_face = GL_FRONT_AND_BACK;
    GLenum colour_material_mode = GL_AMBIENT_AND_DIFFUSE;
    GLenum polygon_mode_front = GL_FILL, polygon_mode_back = GL_FILL;
    GLenum shade_model = GL_SMOOTH;
    GLenum depth_func = GL_LESS;
    std::array<float, 4> clear_colour{0, 0, 0, 0};
    double clear_depth = 1.0;
    std::array<GLint, 4> viewport{0, 0, 0, 0};
    GLint unpack_alignment = 4;
    GLint texture_env_mode = GL_MODULATE;

    // Texture objects by name; 0 is the default object.
    std::map<GLuint, TextureObject> textures;
    GLuint bound_texture = 0;
    // The ES 2 textures of recorded images, freed with the context.
    std::vector<std::uint32_t> image_textures;

    // Display lists by name, the names handed out, and the list being recorded.
    std::map<GLuint, DisplayList> lists;
    std::map<GLuint, bool> reserved_lists;
    GLuint recording_list = 0;
    GLenum recording_mode = GL_COMPILE;
    std::vector<ListCommand> recording;
    int call_depth = 0;

    // GLU's spheres and disks, each kept once for its shape: the kind, radii,
    // slices, stacks or loops, normals, orientation and texture coordinates.
    std::map<std::array<double, 8>, std::shared_ptr<KeptList>> quadric_shapes;

    // Selection.
    GLenum render_mode = GL_RENDER;
    GLuint* select_buffer = nullptr;
    GLsizei select_size = 0;
    GLsizei select_used = 0;
    bool select_overflow = false;
    GLint hit_records = 0;
    std::vector<GLuint> name_stack;
    bool hit = false;
    double hit_min = 1.0, hit_max = 0.0;

    EsRenderer renderer;
};

// The context that every call of the subset works on. Written by
// gl11_make_current and gl11_delete_context; read by every entry point.
Gl11Context* current_context();
// Every subset context not yet deleted.
const std::vector<Gl11Context*>& live_contexts();

// Whether a call is to be recorded into the display list being compiled
// rather than carried out now; records it if so.
bool record(const ListCommand& command);

// The state that a draw of the current context depends on.
EsDrawState draw_state(Gl11Context& context);
// A finished primitive, drawn or tested for selection hits.
void submit_primitive(Gl11Context& context, GLenum mode, const std::vector<EsVertex>& vertices);
// Whether the box from `low` to `high` (object coordinates) lies wholly outside
// one plane of the view volume: nothing in it can be hit.
bool box_outside_view(Gl11Context& context, const float* low, const float* high);
// Selection of one primitive, on the CPU.
void select_primitive(Gl11Context& context, GLenum mode, const EsVertex* vertices,
                      std::size_t count);
