// Matrix arithmetic of the subset. Products and rotations are formed in double
// precision and stored in single, as the matrix stacks keep them.
#include "platform/gl11/matrix.h"

#include <cmath>

Matrix identity_matrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a[k * 4 + row]) * static_cast<double>(b[column * 4 + k]);
            }
            product[column * 4 + row] = static_cast<float>(sum);
        }
    }
    return product;
}

Matrix rotation_matrix(float angle, float x, float y, float z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (!(length > 0.0)) return identity_matrix();
    const double ux = x / length, uy = y / length, uz = z / length;
    const double radians = static_cast<double>(angle) * (pi / 180.0);
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    const double m[16] = {
        ux * ux * t + c,
        uy * ux * t + uz * s,
        uz * ux * t - uy * s,
        0.0,
        ux * uy * t - uz * s,
        uy * uy * t + c,
        uz * uy * t + ux * s,
        0.0,
        ux * uz * t + uy * s,
        uy * uz * t - ux * s,
        uz * uz * t + c,
        0.0,
        0.0,
        0.0,
        0.0,
        1.0,
    };
    Matrix rotation{};
    for (int i = 0; i < 16; ++i) rotation[i] = static_cast<float>(m[i]);
    return rotation;
}

Matrix translation_matrix(float x, float y, float z) {
    Matrix m = identity_matrix();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

Matrix scale_matrix(float x, float y, float z) {
    Matrix m = identity_matrix();
    m[0] = x, m[5] = y, m[10] = z;
    return m;
}

std::array<float, 9> normal_matrix(const Matrix& mv) {
    // The upper-left block, a[row][column].
    double a[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) a[row][column] = mv[column * 4 + row];
    }
    // Cofactors: the inverse's transpose is the cofactor matrix over the determinant.
    double cof[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
            const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
            cof[row][column] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    }
    const double det = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    std::array<float, 9> n{};
    if (det == 0.0 || !std::isfinite(det)) return n;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            n[column * 3 + row] = static_cast<float>(cof[row][column] / det);
        }
    }
    return n;
}

std::array<double, 4> transform(const Matrix& m, const double (&v)[4]) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row) {
        r[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
    return r;
}
