// The system's own textured sphere: latitude bands of triangle strips, each
// vertex with its unit normal and texture coordinate, drawn in immediate mode.
#include "scene/sphere.h"

#include <GL/gl.h>

#include <cmath>

// The full turn 2 pi and the quarter turn pi / 2 as the floats nearest them,
// widened: 6.2831854820251465 and 1.5707963705062866, not the doubles nearest.
static constexpr double full_turn = static_cast<double>(6.28318530717958647692f);
static constexpr double quarter_turn = static_cast<double>(1.57079632679489661923f);
static_assert(full_turn == 6.2831854820251465);
static_assert(quarter_turn == 1.5707963705062866);

// Everything below is double precision; each value is rounded to float only
// where it is handed to OpenGL.
void draw_uv_sphere(float cx, float cy, float cz, float radius, int count) {
    // The segment count is widened first so that negating the most negative
    // int is defined and the vertex loop cannot overflow its index.
    const double r = radius < 0.0f ? -static_cast<double>(radius) : static_cast<double>(radius);
    const long long segments = count < 0 ? -static_cast<long long>(count) : count;

    // Too few segments for a solid, or no size (zero or not a number): the
    // centre alone.
    if (segments < 4 || !(r > 0.0)) {
        glBegin(GL_POINTS);
        glVertex3f(cx, cy, cz);
        glEnd();
        return;
    }

    const double x0 = cx, y0 = cy, z0 = cz;
    const double n = static_cast<double>(segments);
    const long long bands = segments / 2;  // an odd count stops short of the north pole
    for (long long i = 0; i < bands; ++i) {
        // Multiply, then divide by the count, then subtract.
        const double lower = (static_cast<double>(i) * full_turn) / n - quarter_turn;
        const double upper = (static_cast<double>(i + 1) * full_turn) / n - quarter_turn;
        const double cos_lower = std::cos(lower), sin_lower = std::sin(lower);
        const double cos_upper = std::cos(upper), sin_upper = std::sin(upper);
        const float t_lower = static_cast<float>(static_cast<double>(2 * i) / n);
        const float t_upper = static_cast<float>(static_cast<double>(2 * i + 2) / n);

        glBegin(GL_TRIANGLE_STRIP);
        for (long long j = 0; j <= segments; ++j) {
            // Longitude 0 lies on +x and grows toward +z; s runs from 0 to -1.
            const double longitude = (static_cast<double>(j) * full_turn) / n;
            const double cos_long = std::cos(longitude), sin_long = std::sin(longitude);
            const float s = static_cast<float>(-(static_cast<double>(j) / n));

            // Upper vertex first, then the lower one.
            double nx = cos_long * cos_upper, ny = sin_upper, nz = sin_long * cos_upper;
            glNormal3f(static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz));
            glTexCoord2f(s, t_upper);
            glVertex3f(static_cast<float>(x0 + r * nx), static_cast<float>(y0 + r * ny),
                       static_cast<float>(z0 + r * nz));

            nx = cos_long * cos_lower;
            ny = sin_lower;
            nz = sin_long * cos_lower;
            glNormal3f(static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz));
            glTexCoord2f(s, t_lower);
            glVertex3f(static_cast<float>(x0 + r * nx), static_cast<float>(y0 + r * ny),
                       static_cast<float>(z0 + r * nz));
        }
        glEnd();
    }
}
