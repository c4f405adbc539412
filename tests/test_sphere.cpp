// The textured sphere: what it hands to OpenGL, recorded at the five entry
// points it uses (this executable's own definitions, which pass each call on
// to the offscreen Mesa context).
#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "scene/sphere.h"
#include "support/offscreen_gl.h"

namespace {
struct Vertex {
    float normal[3], tex[2], pos[3];
    bool operator==(const Vertex& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};
struct Primitive {
    GLenum mode;
    std::vector<Vertex> vertices;
    int attribute_calls;  // normals and texture coordinates issued
    bool operator==(const Primitive& o) const { return mode == o.mode && vertices == o.vertices; }
};
std::vector<Primitive> recorded;
Vertex current{};

template <typename F>
F real(F, const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

std::vector<Primitive> capture(float cx, float cy, float cz, float radius, int count) {
    recorded.clear();
    draw_uv_sphere(cx, cy, cz, radius, count);
    return recorded;
}

double latitude(const Vertex& v) { return std::asin(v.normal[1]) * 180.0 / M_PI; }
}  // namespace

extern "C" {
void glBegin(GLenum mode) {
    recorded.push_back({mode, {}, 0});
    real(&glBegin, "glBegin")(mode);
}
void glEnd() { real(&glEnd, "glEnd")(); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    current.normal[0] = x, current.normal[1] = y, current.normal[2] = z;
    ++recorded.back().attribute_calls;
    real(&glNormal3f, "glNormal3f")(x, y, z);
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    current.tex[0] = s, current.tex[1] = t;
    ++recorded.back().attribute_calls;
    real(&glTexCoord2f, "glTexCoord2f")(s, t);
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    current.pos[0] = x, current.pos[1] = y, current.pos[2] = z;
    recorded.back().vertices.push_back(current);
    real(&glVertex3f, "glVertex3f")(x, y, z);
}
}

class Sphere : public testing::Test {
   protected:
    OffscreenGl gl;
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
};

// Count 4: two strips of 10 vertices, upper before lower; latitudes -90, 0 and
// 90; longitudes every 90 degrees from +x toward +z; s from 0 to -1, t 0 to 1.
TEST_F(Sphere, CountFourLatitudesLongitudesAndTextureCoordinates) {
    ASSERT_TRUE(gl.ok());
    const auto strips = capture(0, 0, 0, 1, 4);
    ASSERT_EQ(strips.size(), 2u);
    for (int band = 0; band < 2; ++band) {
        ASSERT_EQ(strips[band].mode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
        ASSERT_EQ(strips[band].vertices.size(), 10u);
        for (int k = 0; k < 10; ++k) {
            const Vertex& v = strips[band].vertices[k];
            const int j = k / 2, edge = band + (k % 2 == 0 ? 1 : 0);
            EXPECT_NEAR(latitude(v), -90.0 + 90.0 * edge, 1e-3) << band << "/" << k;
            if (edge == 1) {
                const double longitude = std::atan2(v.normal[2], v.normal[0]) * 180.0 / M_PI;
                EXPECT_NEAR(std::remainder(longitude - 90.0 * j, 360.0), 0.0, 1e-4) << k;
            }
            EXPECT_EQ(v.tex[0], -j / 4.0f);
            EXPECT_EQ(v.tex[1], 0.5f * edge);
        }
    }
}

TEST_F(Sphere, OddCountStopsShortOfTheNorthPole) {
    const auto strips = capture(0, 0, 0, 1, 5);
    ASSERT_EQ(strips.size(), 2u);
    ASSERT_EQ(strips[1].vertices.size(), 12u);
    EXPECT_NEAR(latitude(strips[1].vertices[0]), 54.0, 1e-4);
    EXPECT_EQ(strips[1].vertices[0].tex[1], 0.8f);
}

// Count 100 off the origin: 10,100 vertices, unit normals, every position on
// the sphere along its normal.
TEST_F(Sphere, CountHundredUnitNormalsAndPositionsOnTheSphere) {
    const float c[3] = {1.5f, -2.0f, 0.25f}, r = 0.6f;
    size_t total = 0;
    for (const Primitive& strip : capture(c[0], c[1], c[2], r, 100)) {
        total += strip.vertices.size();
        for (const Vertex& v : strip.vertices) {
            const float* n = v.normal;
            ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6);
            for (int a = 0; a < 3; ++a) ASSERT_NEAR(v.pos[a], c[a] + r * n[a], 1e-6);
        }
    }
    EXPECT_EQ(total, 10100u);
}

// Exact values of a few vertices of a count-30 sphere, worked out with the
// float-widened 2 pi and pi / 2 and double arithmetic rounded at the call.
// All-float arithmetic or the double value of pi changes each of them.
TEST_F(Sphere, DoubleArithmeticRoundedOnlyAtTheCall) {
    const auto strips = capture(0.1f, 0.2f, 0.3f, 0.2f, 30);
    const struct {
        int band, index;
        Vertex v;
    } golden[] = {
        {0,
         6,
         {{0x1.587b5ep-3f, -0x1.f4cfc4p-1f, 0x1.f48fcp-4f},
          {-0.1f, 1 / 15.0f},
          {0x1.11b246p-3f, 0x1.1e6c76p-8f, 0x1.4c3a64p-2f}}},
        {1,
         2,
         {{0x1.976596p-2f, -0x1.d3bc3cp-1f, 0x1.5a6124p-4f},
          {-1 / 30.0f, 2 / 15.0f},
          {0x1.6fc23cp-3f, 0x1.1b4b52p-6f, 0x1.4484dcp-2f}}},
        {14,
         0,
         {{-0x1.777a5cp-25f, 1.0f, -0.0f},
          {-0.0f, 1.0f},
          {0x1.999998p-4f, 0x1.99999ap-2f, 0x1.333334p-2f}}},
    };
    for (const auto& g : golden) EXPECT_EQ(strips[g.band].vertices[g.index], g.v) << g.band;
}

// Upper j = 0, lower j = 0, upper j = 1 turn clockwise seen from outside. The
// last strip's first triangle has both upper corners at the north pole.
TEST_F(Sphere, FirstTriangleOfEachStripIsClockwiseFromOutside) {
    const auto strips = capture(0, 0, 0, 1, 30);
    for (size_t k = 0; k + 1 < strips.size(); ++k) {
        const float *a = strips[k].vertices[0].pos, *b = strips[k].vertices[1].pos,
                    *c = strips[k].vertices[2].pos;
        double outward = 0;  // (b - a) x (c - a) against the outward direction
        for (int i = 0; i < 3; ++i) {
            const int p = (i + 1) % 3, q = (i + 2) % 3;
            const double cross = (b[p] - a[p]) * (c[q] - a[q]) - (b[q] - a[q]) * (c[p] - a[p]);
            outward += cross * (a[i] + b[i] + c[i]);
        }
        EXPECT_LT(outward, -1e-3) << "strip " << k;
    }
}

TEST_F(Sphere, NegativeRadiusOrCountDrawsTheSameSphere) {
    const auto reference = capture(0.5f, 0, 0, 0.3f, 30);
    EXPECT_EQ(capture(0.5f, 0, 0, -0.3f, 30), reference);
    EXPECT_EQ(capture(0.5f, 0, 0, 0.3f, -30), reference);
}

// Too few segments, or no size: the centre as one point without a normal or
// texture coordinate.
TEST_F(Sphere, DegenerateInputsDrawOnePointAtTheCentre) {
    const std::vector<Primitive> point = {{GL_POINTS, {{{}, {}, {1.0f, 2.0f, 3.0f}}}, 0}};
    for (auto [radius, count] : {std::pair{1.0f, 3}, {1.0f, -3}, {0.0f, 30}, {NAN, 30}}) {
        current = {};
        const auto drawn = capture(1.0f, 2.0f, 3.0f, radius, count);
        EXPECT_EQ(drawn, point) << radius << " " << count;
        EXPECT_EQ(drawn[0].attribute_calls, 0);
    }
}
