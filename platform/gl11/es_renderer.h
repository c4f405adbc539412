// The subset's drawing through OpenGL ES 2: one shader pair that carries out
// the fixed-function vertex lighting and the texture modulation, and batches of
// vertices that share one draw state, handed to ES 2 in as few draws as can be.
// Numbers of enumerations are OpenGL's (ES 2 shares them); nothing here
// includes the subset's own GL header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// One vertex as the program gave it: object position, normal, texture
// coordinate and colour.
struct EsVertex {
    float position[3];
    float normal[3];
    float tex_coord[2];
    float colour[4];
};

// Fixed-function lighting values, in eye space where they are positions.
struct EsLight {
    std::array<float, 4> ambient, diffuse, specular, position;
};

// Everything a draw depends on besides its vertices. Two draws with equal
// states may share one ES 2 draw.
struct EsDrawState {
    std::array<float, 16> modelview, projection;
    std::array<float, 9> normal_matrix;
    std::array<float, 4> model_ambient;
    std::array<float, 4> material_ambient, material_diffuse, material_specular, material_emission;
    float shininess;
    EsLight lights[2];
    std::uint8_t light_on[2];
    std::uint8_t lighting, normalize, colour_material, depth_test, texturing;
    std::uint8_t unused;  // keeps the flags a whole number of words: no padding
    std::uint32_t depth_func;
    std::uint32_t texture;  // the ES 2 texture sampled when texturing
    bool operator==(const EsDrawState& other) const;
};

enum class EsPrimitive : std::uint8_t { triangles, lines, points };

struct EsRenderer {
    std::uint32_t program = 0, vertex_buffer = 0, index_buffer = 0;
    // Uniform locations, in the order es_renderer.cpp names them.
    std::vector<int> uniforms;
    // The batch gathered and not yet drawn.
    bool pending = false;
    EsPrimitive primitive = EsPrimitive::triangles;
    EsDrawState state{};
    std::vector<EsVertex> vertices;
    std::vector<std::uint16_t> indices;
    // The state last given to ES 2, so that unchanged uniforms are not set again.
    bool state_sent = false;
    EsDrawState sent{};
};

// Builds the shaders and buffers on the current ES 2 context; false when they
// do not build.
bool es_open(EsRenderer& renderer);
void es_close(EsRenderer& renderer);
// Reserves room for `vertex_count` new vertices in a batch of this kind and
// state, drawing the batch before when it cannot take them. Returns the index
// the first new vertex will have.
std::uint16_t es_begin_batch(EsRenderer& renderer, const EsDrawState& state, EsPrimitive primitive,
                             std::size_t vertex_count);
// Draws whatever batch is gathered.
void es_flush(EsRenderer& renderer);

// Static buffers, filled once for geometry that is drawn many times: vertices
// (EsVertex) or 16-bit indices.
std::uint32_t es_create_buffer();
void es_delete_buffer(std::uint32_t buffer);
void es_fill_buffer(std::uint32_t buffer, bool indices, const void* data, std::size_t bytes);
// Draws `count` indices from index `first` of static buffers, after the batch
// gathered so far.
void es_draw_static(EsRenderer& renderer, const EsDrawState& state, EsPrimitive primitive,
                    std::uint32_t vertex_buffer, std::uint32_t index_buffer, std::size_t first,
                    std::size_t count);

void es_viewport(int x, int y, int width, int height);
// The ES 2 context's viewport now: at first, its drawable's size.
std::array<int, 4> es_current_viewport();
void es_clear(EsRenderer& renderer, std::uint32_t mask, const std::array<float, 4>& colour,
              double depth);

// Texture objects on ES 2. Uploads are tightly packed RGB rows, bottom first.
std::uint32_t es_create_texture();
void es_delete_texture(std::uint32_t texture);
void es_texture_parameter(std::uint32_t texture, std::uint32_t name, int value);
void es_texture_image(std::uint32_t texture, int width, int height, const unsigned char* rgb);
int es_max_texture_size();
