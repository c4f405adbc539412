// The textured sphere, recorded by this executable's own definitions of the GL calls it makes.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "scene/sphere.h"

using Vertex = std::array<float, 8>;  // normal, texture coordinate, position
enum { normal = 0, tex = 3, pos = 5 };
using Strip = std::vector<Vertex>;
static std::vector<Strip> strips;
static std::vector<GLenum> modes;
static Vertex current;

static std::vector<Strip> capture(float cx, float cy, float cz, float radius, int count) {
    strips.clear(), modes.clear(), current = {};
    draw_uv_sphere(cx, cy, cz, radius, count);
    return strips;
}

extern "C" {
void glBegin(GLenum mode) { modes.push_back(mode), strips.emplace_back(); }
void glEnd() {}
void glNormal3f(float x, float y, float z) { current[0] = x, current[1] = y, current[2] = z; }
void glTexCoord2f(float s, float t) { current[3] = s, current[4] = t; }
void glVertex3f(float x, float y, float z) {
    current[5] = x, current[6] = y, current[7] = z;
    strips.back().push_back(current);
}
}

// Counts 4, 5 and 100: strips, upper vertex first, normals from +x toward +z, s, t, winding.
TEST(Sphere, BandsNormalsTextureCoordinatesAndWinding) {
    const auto four = capture(0, 0, 0, 1, 4);
    EXPECT_EQ(modes, std::vector<GLenum>(2, GL_TRIANGLE_STRIP));
    ASSERT_EQ(four.size(), 2u);
    for (int band = 0; band < 2; ++band) {
        ASSERT_EQ(four[band].size(), 10u);
        for (int k = 0; k < 10; ++k) {
            const Vertex& v = four[band][k];
            const int j = k / 2, edge = band + (k % 2 == 0 ? 1 : 0);
            const double lat = (edge - 1) * M_PI / 2, lon = j * M_PI / 2;
            const double n[3] = {cos(lat) * cos(lon), sin(lat), cos(lat) * sin(lon)};
            for (int a = 0; a < 3; ++a) EXPECT_NEAR(v[normal + a], n[a], 1e-6) << band << "/" << k;
            EXPECT_EQ(v[tex], -j / 4.0f);
            EXPECT_EQ(v[tex + 1], 0.5f * edge);
        }
    }
    const float *a = &four[0][0][pos], *b = &four[0][1][pos], *c = &four[0][2][pos];
    EXPECT_LT(a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                  a[2] * (b[0] * c[1] - b[1] * c[0]),
              -0.5);  // det(a, b, c) < 0: clockwise from outside
    const auto five = capture(0, 0, 0, 1, 5);
    ASSERT_EQ(five.size(), 2u);
    EXPECT_NEAR(std::asin(five[1][0][normal + 1]), 54.0 * M_PI / 180, 1e-6);
    EXPECT_EQ(five[1][0][tex + 1], 0.8f);

    // Count 100 off the origin: 10,100 vertices, unit normals, positions on the sphere.
    const float centre[3] = {1.5f, -2.0f, 0.25f}, r = 0.6f;
    size_t total = 0;
    for (const Strip& strip : capture(centre[0], centre[1], centre[2], r, 100)) {
        total += strip.size();
        for (const Vertex& v : strip) {
            ASSERT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1.0, 1e-6);
            for (int a = 0; a < 3; ++a)
                ASSERT_NEAR(v[pos + a], centre[a] + r * v[normal + a], 1e-6);
        }
    }
    EXPECT_EQ(total, 10100u);
}

// Count 30: a vertex exact only with float-widened 2 pi and pi / 2 in double arithmetic rounded
// at the call; negative radius or count the same sphere; degenerate input the centre as a point.
TEST(Sphere, ExactVertexNegativeAndDegenerateInputs) {
    const auto reference = capture(0.1f, 0.2f, 0.3f, 0.2f, 30);
    EXPECT_EQ(reference[0][6], (Vertex{0x1.587b5ep-3f, -0x1.f4cfc4p-1f, 0x1.f48fcp-4f, -0.1f,
                                       1 / 15.0f, 0x1.11b246p-3f, 0x1.1e6c76p-8f, 0x1.4c3a64p-2f}));
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, -0.2f, 30), reference);
    EXPECT_EQ(capture(0.1f, 0.2f, 0.3f, 0.2f, -30), reference);
    const std::vector<Strip> point = {Strip{Vertex{0, 0, 0, 0, 0, 1, 2, 3}}};
    for (auto [radius, count] : {std::pair{1.0f, 3}, {1.0f, -3}, {0.0f, 30}, {NAN, 30}}) {
        EXPECT_EQ(capture(1.0f, 2.0f, 3.0f, radius, count), point) << radius << " " << count;
        EXPECT_EQ(modes, std::vector<GLenum>{GL_POINTS});
    }
}
