// 4 x 4 matrices as OpenGL keeps them: single precision, column after column.
#pragma once

#include <array>

using Matrix = std::array<float, 16>;

// The double nearest pi (not every C library offers M_PI in strict C++).
constexpr double pi = 3.14159265358979323846;

Matrix identity_matrix();
// a * b: b is applied first.
Matrix multiply(const Matrix& a, const Matrix& b);
// The matrices glRotatef, glTranslatef and glScalef multiply by. The axis of a
// rotation is normalised first; the angle is in degrees.
Matrix rotation_matrix(float angle, float x, float y, float z);
Matrix translation_matrix(float x, float y, float z);
Matrix scale_matrix(float x, float y, float z);
// The inverse of the transpose of the upper-left 3 x 3 block, column after
// column: it carries normals into eye space. Singular blocks give zeros.
std::array<float, 9> normal_matrix(const Matrix& modelview);
// m * (x, y, z, w), in double precision.
std::array<double, 4> transform(const Matrix& m, const double (&v)[4]);
