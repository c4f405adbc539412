// Drawing through OpenGL ES 2 (WebGL 1 in the browser): the fixed-function
// vertex stage as a shader, per vertex as OpenGL lights, and batched draws.
#include "platform/gl11/es_renderer.h"

#include <GLES2/gl2.h>

#include <cstdio>
#include <cstring>

// The same bits, the same draw. The state has no padding, so no byte of it is
// left undefined.
static_assert(sizeof(EsDrawState) == (16 + 16 + 9 + 4 * 5 + 1 + 4 * 4 * 2) * 4 + 8 + 2 * 4);
bool EsDrawState::operator==(const EsDrawState& other) const {
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    return std::memcmp(this, &other, sizeof(EsDrawState)) == 0;
}

// The lighting equation of OpenGL 1.1 for the front material, evaluated once per
// vertex: emission, the scene's ambient light, and for each light its ambient,
// diffuse and specular terms (a local light with no attenuation or spot, a
// directional light with w = 0; the viewer at infinity). Colour material puts
// the vertex colour in place of the ambient and diffuse material. The result is
// clamped, and its alpha is the diffuse material's.
static const char* const vertex_source = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec2 a_tex_coord;
attribute vec4 a_colour;
uniform mat4 u_modelview;
uniform mat4 u_projection;
uniform mat3 u_normal_matrix;
uniform bool u_lighting;
uniform bool u_normalize;
uniform bool u_colour_material;
uniform vec4 u_model_ambient;
uniform vec4 u_material[4];
uniform float u_shininess;
uniform vec4 u_light[8];
uniform bool u_light_on[2];
varying vec4 v_colour;
varying vec2 v_tex_coord;

vec3 light_term(int i, vec3 eye, vec3 n, vec4 ambient, vec4 diffuse, vec4 specular,
                vec4 l_ambient, vec4 l_diffuse, vec4 l_specular, vec4 l_position) {
    vec3 l = l_position.w == 0.0 ? normalize(l_position.xyz) : normalize(l_position.xyz - eye);
    float n_dot_l = dot(n, l);
    vec3 c = ambient.rgb * l_ambient.rgb + max(n_dot_l, 0.0) * diffuse.rgb * l_diffuse.rgb;
    if (n_dot_l > 0.0) {
        vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
        float n_dot_h = max(dot(n, h), 0.0);
        float f = u_shininess == 0.0 ? 1.0 : pow(n_dot_h, u_shininess);
        c += f * specular.rgb * l_specular.rgb;
    }
    return c;
}

void main() {
    vec4 eye = u_modelview * vec4(a_position, 1.0);
    gl_Position = u_projection * eye;
    gl_PointSize = 1.0;
    v_tex_coord = a_tex_coord;
    if (!u_lighting) {
        v_colour = a_colour;
        return;
    }
    vec4 ambient = u_colour_material ? a_colour : u_material[0];
    vec4 diffuse = u_colour_material ? a_colour : u_material[1];
    vec3 n = u_normal_matrix * a_normal;
    if (u_normalize) n = normalize(n);
    vec3 c = u_material[3].rgb + ambient.rgb * u_model_ambient.rgb;
    vec3 e = eye.xyz / eye.w;
    if (u_light_on[0]) c += light_term(0, e, n, ambient, diffuse, u_material[2],
                                       u_light[0], u_light[1], u_light[2], u_light[3]);
    if (u_light_on[1]) c += light_term(1, e, n, ambient, diffuse, u_material[2],
                                       u_light[4], u_light[5], u_light[6], u_light[7]);
    v_colour = vec4(clamp(c, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}
)";

// Texture environment MODULATE with an RGB texture: the colour times the texel,
// the alpha unchanged.
static const char* const fragment_source = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform bool u_texturing;
uniform sampler2D u_texture;
varying vec4 v_colour;
varying vec2 v_tex_coord;
void main() {
    vec4 c = v_colour;
    if (u_texturing) c.rgb *= texture2D(u_texture, v_tex_coord).rgb;
    gl_FragColor = c;
}
)";

namespace uniform {
enum : int {
    modelview,
    projection,
    normal_matrix,
    lighting,
    normalize,
    colour_material,
    model_ambient,
    material,
    shininess,
    light,
    light_on,
    texturing,
    texture,
    count
};
}
static const char* const uniform_names[uniform::count] = {
    "u_modelview",       "u_projection",    "u_normal_matrix", "u_lighting",  "u_normalize",
    "u_colour_material", "u_model_ambient", "u_material",      "u_shininess", "u_light",
    "u_light_on",        "u_texturing",     "u_texture"};
static const char* const attribute_names[4] = {"a_position", "a_normal", "a_tex_coord", "a_colour"};

static GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == 0) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "gl11: a shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool es_open(EsRenderer& r) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertex_source);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragment_source);
    if (vertex == 0 || fragment == 0) {
        if (vertex != 0) glDeleteShader(vertex);
        if (fragment != 0) glDeleteShader(fragment);
        return false;
    }
    r.program = glCreateProgram();
    glAttachShader(r.program, vertex);
    glAttachShader(r.program, fragment);
    for (GLuint i = 0; i < 4; ++i) glBindAttribLocation(r.program, i, attribute_names[i]);
    glLinkProgram(r.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(r.program, GL_LINK_STATUS, &linked);
    if (linked == 0) {
        glDeleteProgram(r.program);
        r.program = 0;
        return false;
    }
    r.uniforms.clear();
    for (const char* name : uniform_names)
        r.uniforms.push_back(glGetUniformLocation(r.program, name));
    glGenBuffers(1, &r.vertex_buffer);
    glGenBuffers(1, &r.index_buffer);
    r.state_sent = false;
    return true;
}

void es_close(EsRenderer& r) {
    if (r.program != 0) glDeleteProgram(r.program);
    if (r.vertex_buffer != 0) glDeleteBuffers(1, &r.vertex_buffer);
    if (r.index_buffer != 0) glDeleteBuffers(1, &r.index_buffer);
    r = EsRenderer{};
}

// The uniforms that differ from those last sent, and the fixed pipeline state.
static void send_state(EsRenderer& r, const EsDrawState& s) {
    const EsDrawState& o = r.sent;
    const bool all = !r.state_sent;
    const int* u = r.uniforms.data();
    if (all || s.modelview != o.modelview)
        glUniformMatrix4fv(u[uniform::modelview], 1, GL_FALSE, s.modelview.data());
    if (all || s.projection != o.projection)
        glUniformMatrix4fv(u[uniform::projection], 1, GL_FALSE, s.projection.data());
    if (all || s.normal_matrix != o.normal_matrix)
        glUniformMatrix3fv(u[uniform::normal_matrix], 1, GL_FALSE, s.normal_matrix.data());
    if (all || s.lighting != o.lighting) glUniform1i(u[uniform::lighting], s.lighting);
    if (all || s.normalize != o.normalize) glUniform1i(u[uniform::normalize], s.normalize);
    if (all || s.colour_material != o.colour_material)
        glUniform1i(u[uniform::colour_material], s.colour_material);
    if (all || s.model_ambient != o.model_ambient)
        glUniform4fv(u[uniform::model_ambient], 1, s.model_ambient.data());
    const std::array<float, 4>* materials[4] = {&s.material_ambient, &s.material_diffuse,
                                                &s.material_specular, &s.material_emission};
    float material[16];
    for (std::size_t i = 0; i < 4; ++i) std::memcpy(material + 4 * i, materials[i]->data(), 16);
    glUniform4fv(u[uniform::material], 4, material);
    glUniform1f(u[uniform::shininess], s.shininess);
    float lights[32];
    for (std::size_t i = 0; i < 2; ++i) {
        const EsLight& l = s.lights[i];
        std::memcpy(lights + 16 * i, l.ambient.data(), 16);
        std::memcpy(lights + 16 * i + 4, l.diffuse.data(), 16);
        std::memcpy(lights + 16 * i + 8, l.specular.data(), 16);
        std::memcpy(lights + 16 * i + 12, l.position.data(), 16);
    }
    glUniform4fv(u[uniform::light], 8, lights);
    const GLint on[2] = {s.light_on[0], s.light_on[1]};
    glUniform1iv(u[uniform::light_on], 2, on);
    glUniform1i(u[uniform::texturing], s.texturing);
    glUniform1i(u[uniform::texture], 0);
    if (all || s.depth_test != o.depth_test) {
        if (s.depth_test != 0) {
            glEnable(GL_DEPTH_TEST);
        } else {
            glDisable(GL_DEPTH_TEST);
        }
    }
    if (all || s.depth_func != o.depth_func) glDepthFunc(s.depth_func);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, s.texturing != 0 ? s.texture : 0);
    r.sent = s;
    r.state_sent = true;
}

// Points the four attributes at the vertex buffer bound now.
static void point_attributes() {
    const GLint sizes[4] = {3, 3, 2, 4};
    const std::size_t offsets[4] = {offsetof(EsVertex, position), offsetof(EsVertex, normal),
                                    offsetof(EsVertex, tex_coord), offsetof(EsVertex, colour)};
    for (GLuint i = 0; i < 4; ++i) {
        glEnableVertexAttribArray(i);
        glVertexAttribPointer(i, sizes[i], GL_FLOAT, GL_FALSE, sizeof(EsVertex),
                              reinterpret_cast<const void*>(offsets[i]));
    }
}

static GLenum es_mode(EsPrimitive primitive) {
    return primitive == EsPrimitive::triangles ? GL_TRIANGLES
           : primitive == EsPrimitive::lines   ? GL_LINES
                                               : GL_POINTS;
}

void es_flush(EsRenderer& r) {
    if (!r.pending) return;
    r.pending = false;
    // Without shaders (the ES 2 context lost) nothing is drawn.
    if (r.indices.empty() || r.program == 0) {
        r.vertices.clear();
        r.indices.clear();
        return;
    }
    glUseProgram(r.program);
    send_state(r, r.state);
    glBindBuffer(GL_ARRAY_BUFFER, r.vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(r.vertices.size() * sizeof(EsVertex)),
                 r.vertices.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, r.index_buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(r.indices.size() * sizeof(std::uint16_t)),
                 r.indices.data(), GL_STREAM_DRAW);
    point_attributes();
    glDrawElements(es_mode(r.primitive), static_cast<GLsizei>(r.indices.size()), GL_UNSIGNED_SHORT,
                   nullptr);
    r.vertices.clear();
    r.indices.clear();
}

void es_draw_static(EsRenderer& r, const EsDrawState& state, EsPrimitive primitive,
                    std::uint32_t vertex_buffer, std::uint32_t index_buffer, std::size_t first,
                    std::size_t count) {
    es_flush(r);
    if (count == 0 || r.program == 0) return;
    glUseProgram(r.program);
    send_state(r, state);
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer);
    point_attributes();
    glDrawElements(es_mode(primitive), static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(first * sizeof(std::uint16_t)));
}

std::uint16_t es_begin_batch(EsRenderer& r, const EsDrawState& state, EsPrimitive primitive,
                             std::size_t vertex_count) {
    // 16-bit indices (all that WebGL 1 offers without an extension).
    constexpr std::size_t index_limit = 65536;
    if (r.pending && (r.primitive != primitive || !(r.state == state) ||
                      r.vertices.size() + vertex_count > index_limit)) {
        es_flush(r);
    }
    if (!r.pending) {
        r.pending = true;
        r.primitive = primitive;
        r.state = state;
    }
    return static_cast<std::uint16_t>(r.vertices.size());
}
