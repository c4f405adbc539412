// How OpenGL's primitives break into the polygons, lines and points that are
// drawn or tested for selection, as vertex indices of one glBegin.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gl11/es_renderer.h"

// Calls polygon(indices, count) for each polygon, its vertices in boundary
// order: the triangles of triangles, strips and fans, the quadrilaterals of
// quads and quad strips, the one polygon of GL_POLYGON. Incomplete trailing
// vertices are dropped, as OpenGL drops them.
template <class Polygon>
void for_each_polygon(GLenum mode, std::size_t n, const Polygon& polygon) {
    int p[4];
    switch (mode) {
        case GL_TRIANGLES:
            for (std::size_t i = 0; i + 2 < n; i += 3) {
                p[0] = int(i), p[1] = int(i + 1), p[2] = int(i + 2);
                polygon(p, 3);
            }
            break;
        case GL_TRIANGLE_STRIP:
            // Every other triangle swaps its first two vertices to keep the winding.
            for (std::size_t i = 0; i + 2 < n; ++i) {
                p[0] = int(i % 2 == 0 ? i : i + 1), p[1] = int(i % 2 == 0 ? i + 1 : i);
                p[2] = int(i + 2);
                polygon(p, 3);
            }
            break;
        case GL_TRIANGLE_FAN:
            for (std::size_t i = 1; i + 1 < n; ++i) {
                p[0] = 0, p[1] = int(i), p[2] = int(i + 1);
                polygon(p, 3);
            }
            break;
        case GL_QUADS:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                p[0] = int(i), p[1] = int(i + 1), p[2] = int(i + 2), p[3] = int(i + 3);
                polygon(p, 4);
            }
            break;
        case GL_QUAD_STRIP:
            for (std::size_t i = 0; i + 3 < n; i += 2) {
                p[0] = int(i), p[1] = int(i + 1), p[2] = int(i + 3), p[3] = int(i + 2);
                polygon(p, 4);
            }
            break;
        case GL_POLYGON:
            if (n >= 3) {
                std::vector<int> all(n);
                for (std::size_t i = 0; i < n; ++i) all[i] = int(i);
                polygon(all.data(), int(n));
            }
            break;
        default:
            break;
    }
}

// Calls line(a, b) for each segment of GL_LINES, GL_LINE_STRIP and GL_LINE_LOOP.
template <class Line>
void for_each_line(GLenum mode, std::size_t n, const Line& line) {
    if (mode == GL_LINES) {
        for (std::size_t i = 0; i + 1 < n; i += 2) line(int(i), int(i + 1));
    } else if (mode == GL_LINE_STRIP || mode == GL_LINE_LOOP) {
        for (std::size_t i = 0; i + 1 < n; ++i) line(int(i), int(i + 1));
        if (mode == GL_LINE_LOOP && n > 2) line(int(n - 1), 0);
    }
}

inline bool is_polygon_primitive(GLenum mode) { return mode >= GL_TRIANGLES && mode <= GL_POLYGON; }

// What ES 2 draws of a primitive of this mode under the front polygon mode.
EsPrimitive drawn_kind(GLenum mode, GLenum polygon_mode);
// The 16-bit indices that draw `count` vertices of a primitive as `kind`, the
// first vertex at index `base`.
void append_indices(GLenum mode, EsPrimitive kind, std::size_t count, std::uint16_t base,
                    std::vector<std::uint16_t>& out);
