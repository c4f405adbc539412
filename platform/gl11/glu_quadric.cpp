// GLU's quadric spheres and disks, with the normals and texture coordinates
// GLU gives them, each shape made once and then drawn as kept geometry.
//
// A sphere of `slices` around the z axis and `stacks` along it: stack i lies
// at polar angle pi i / stacks from the -z pole, slice j at the angle
// 2 pi j / slices from +y toward -x. Texture coordinates: t runs from 0 at
// z = -radius to 1 at z = +radius, s from 0 at +y through 0.25 at -x, 0.5 at
// -y and 0.75 at +x back to 1 (Mesa's GLU draws it so, pixel for pixel).
// Each stack is a quad strip.
//
// A disk lies in the plane z = 0, from the inner to the outer radius in
// `loops` rings of quad strips, the normal +z (-z inside out). Its texture
// coordinates map the outer circle into the unit square: (r, 0) to
// (1, 0.5), (0, r) to (0.5, 1), (-r, 0) to (0, 0.5), (0, -r) to (0.5, 0).
// Negative radii, an outer radius below the inner one, fewer than two slices
// or no loop draw nothing.
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "platform/gl11/kept_list.h"
#include "platform/gl11/matrix.h"

struct GLUquadric {
    GLenum normals = GLU_SMOOTH;
    GLenum orientation = GLU_OUTSIDE;
    bool texture = false;
};

GLUquadric* gl11_glu_new_quadric() { return new GLUquadric; }
void gl11_glu_delete_quadric(GLUquadric* quadric) { delete quadric; }

void gl11_glu_quadric_normals(GLUquadric* quadric, GLenum normals) {
    if (quadric != nullptr && (normals == GLU_SMOOTH || normals == GLU_FLAT || normals == GLU_NONE))
        quadric->normals = normals;
}

void gl11_glu_quadric_orientation(GLUquadric* quadric, GLenum orientation) {
    if (quadric != nullptr && (orientation == GLU_OUTSIDE || orientation == GLU_INSIDE))
        quadric->orientation = orientation;
}

void gl11_glu_quadric_texture(GLUquadric* quadric, GLboolean texture) {
    if (quadric != nullptr) quadric->texture = texture != GL_FALSE;
}

namespace {
struct Ring {
    std::vector<double> sin_angle, cos_angle;
};
}  // namespace

// Sines and cosines of the slice angles, the last equal to the first. The
// sine is negated: the angle grows from +y toward -x.
static Ring slice_angles(int slices) {
    Ring ring;
    for (int j = 0; j <= slices; ++j) {
        const double angle = j == slices ? 0.0 : 2.0 * pi * j / slices;
        ring.sin_angle.push_back(-std::sin(angle));
        ring.cos_angle.push_back(std::cos(angle));
    }
    return ring;
}

static ListCommand command(ListCommand::Kind kind, double a = 0, double b = 0, double c = 0) {
    ListCommand command{};
    command.kind = kind;
    command.v[0] = static_cast<float>(a), command.v[1] = static_cast<float>(b);
    command.v[2] = static_cast<float>(c), command.v[3] = 1.0f;
    return command;
}

static ListCommand begin_strip() {
    ListCommand begin = command(ListCommand::Kind::begin);
    begin.mode = GL_QUAD_STRIP;
    return begin;
}

static void sphere_commands(const GLUquadric& quadric, double radius, int slices, int stacks,
                            std::vector<ListCommand>& out) {
    const Ring ring = slice_angles(slices);
    const double outward = quadric.orientation == GLU_INSIDE ? -1.0 : 1.0;
    const bool normals = quadric.normals != GLU_NONE;
    for (int i = 0; i < stacks; ++i) {
        // Polar angles from the -z pole: the strip runs from stack i + 1 to i.
        const double upper = pi * (i + 1) / stacks, lower = pi * i / stacks;
        const double rings[2] = {upper, lower};
        out.push_back(begin_strip());
        for (int j = 0; j <= slices; ++j) {
            for (const double polar : rings) {
                const double rho = std::sin(polar), z = -std::cos(polar);
                const double x = ring.sin_angle[j] * rho, y = ring.cos_angle[j] * rho;
                if (normals) {
                    out.push_back(
                        command(ListCommand::Kind::normal, x * outward, y * outward, z * outward));
                }
                if (quadric.texture) {
                    const double s = static_cast<double>(j) / slices;
                    const double t = polar == upper ? static_cast<double>(i + 1) / stacks
                                                    : static_cast<double>(i) / stacks;
                    out.push_back(command(ListCommand::Kind::tex_coord, s, t));
                }
                out.push_back(
                    command(ListCommand::Kind::vertex, x * radius, y * radius, z * radius));
            }
        }
        out.push_back(command(ListCommand::Kind::end));
    }
}

static void disk_commands(const GLUquadric& quadric, double inner, double outer, int slices,
                          int loops, std::vector<ListCommand>& out) {
    const Ring ring = slice_angles(slices);
    if (quadric.normals != GLU_NONE) {
        out.push_back(command(ListCommand::Kind::normal, 0.0, 0.0,
                              quadric.orientation == GLU_INSIDE ? -1 : 1));
    }
    const double step = (outer - inner) / loops;
    for (int l = 0; l < loops; ++l) {
        const double radii[2] = {inner + step * (l + 1), inner + step * l};
        out.push_back(begin_strip());
        for (int j = 0; j <= slices; ++j) {
            for (const double r : radii) {
                const double x = ring.sin_angle[j] * r, y = ring.cos_angle[j] * r;
                if (quadric.texture) {
                    out.push_back(command(ListCommand::Kind::tex_coord, 0.5 + x / (2.0 * outer),
                                          0.5 + y / (2.0 * outer)));
                }
                out.push_back(command(ListCommand::Kind::vertex, x, y, 0.0));
            }
        }
        out.push_back(command(ListCommand::Kind::end));
    }
}

// At most this many shapes are kept in a context; past it they are made anew.
static constexpr std::size_t kept_shapes_limit = 256;

// The shape drawn as its commands would draw it: recorded into the list being
// made, or from the context's kept copy of it.
static void draw_shape(const GLUquadric& quadric, std::array<double, 8> key,
                       void (*make)(const GLUquadric&, const std::array<double, 8>&,
                                    std::vector<ListCommand>&)) {
    Gl11Context* c = current_context();
    if (c == nullptr) return;
    key[5] = quadric.normals, key[6] = quadric.orientation, key[7] = quadric.texture;
    std::shared_ptr<KeptList>& kept = c->quadric_shapes[key];
    if (kept == nullptr || (c->recording_list != 0 && c->call_depth == 0)) {
        std::vector<ListCommand> commands;
        make(quadric, key, commands);
        if (c->recording_list != 0 && c->call_depth == 0) {
            if (kept == nullptr) c->quadric_shapes.erase(key);
            for (const ListCommand& one : commands) run_command(one);
            return;
        }
        if (c->quadric_shapes.size() > kept_shapes_limit) {
            c->quadric_shapes.clear();
            return draw_shape(quadric, key, make);
        }
        kept = keep_commands(commands);
    }
    const std::shared_ptr<KeptList> held = kept;
    ++c->call_depth;
    call_kept(*c, *held);
    --c->call_depth;
}

void gl11_glu_sphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (quadric == nullptr || slices < 2 || stacks < 1) return;
    draw_shape(
        *quadric, {0, radius, 0, double(slices), double(stacks)},
        [](const GLUquadric& q, const std::array<double, 8>& k, std::vector<ListCommand>& out) {
            sphere_commands(q, k[1], int(k[3]), int(k[4]), out);
        });
}

void gl11_glu_disk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops) {
    if (quadric == nullptr || inner < 0.0 || outer < inner || slices < 2 || loops < 1) return;
    draw_shape(
        *quadric, {1, inner, outer, double(slices), double(loops)},
        [](const GLUquadric& q, const std::array<double, 8>& k, std::vector<ListCommand>& out) {
            disk_commands(q, k[1], k[2], int(k[3]), int(k[4]), out);
        });
}
