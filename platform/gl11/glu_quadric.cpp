// GLU's quadric spheres and disks over the subset's immediate mode, with the
// normals and texture coordinates GLU gives them.
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

void gl11_glu_sphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (quadric == nullptr || slices < 2 || stacks < 1) return;
    const Ring ring = slice_angles(slices);
    const double outward = quadric->orientation == GLU_INSIDE ? -1.0 : 1.0;
    const bool normals = quadric->normals != GLU_NONE;
    for (int i = 0; i < stacks; ++i) {
        // Polar angles from the -z pole: the strip runs from stack i + 1 to i.
        const double upper = pi * (i + 1) / stacks, lower = pi * i / stacks;
        const double rings[2] = {upper, lower};
        gl11_begin(GL_QUAD_STRIP);
        for (int j = 0; j <= slices; ++j) {
            for (const double polar : rings) {
                const double rho = std::sin(polar), z = -std::cos(polar);
                const double x = ring.sin_angle[j] * rho, y = ring.cos_angle[j] * rho;
                if (normals) {
                    gl11_normal3f(static_cast<float>(x * outward), static_cast<float>(y * outward),
                                  static_cast<float>(z * outward));
                }
                if (quadric->texture) {
                    const double s = static_cast<double>(j) / slices;
                    const double t = polar == upper ? static_cast<double>(i + 1) / stacks
                                                    : static_cast<double>(i) / stacks;
                    gl11_tex_coord2f(static_cast<float>(s), static_cast<float>(t));
                }
                gl11_vertex3f(static_cast<float>(x * radius), static_cast<float>(y * radius),
                              static_cast<float>(z * radius));
            }
        }
        gl11_end();
    }
}

void gl11_glu_disk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops) {
    if (quadric == nullptr || inner < 0.0 || outer < inner || slices < 2 || loops < 1) return;
    const Ring ring = slice_angles(slices);
    if (quadric->normals != GLU_NONE) {
        gl11_normal3f(0.0f, 0.0f, quadric->orientation == GLU_INSIDE ? -1.0f : 1.0f);
    }
    const double step = (outer - inner) / loops;
    for (int l = 0; l < loops; ++l) {
        const double radii[2] = {inner + step * (l + 1), inner + step * l};
        gl11_begin(GL_QUAD_STRIP);
        for (int j = 0; j <= slices; ++j) {
            for (const double r : radii) {
                const double x = ring.sin_angle[j] * r, y = ring.cos_angle[j] * r;
                if (quadric->texture) {
                    gl11_tex_coord2f(static_cast<float>(0.5 + x / (2.0 * outer)),
                                     static_cast<float>(0.5 + y / (2.0 * outer)));
                }
                gl11_vertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
            }
        }
        gl11_end();
    }
}
