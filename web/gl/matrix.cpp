#include "matrix.h"

#include <cmath>

namespace vantor::webgl {

Mat4 identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
            r[column * 4 + row] = sum;
        }
    return r;
}

Vec4 transform(const Mat4& m, const Vec4& v) {
    Vec4 r{};
    for (int row = 0; row < 4; ++row)
        r[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    return r;
}

namespace {

// The identity with x, y and z at three places of the column-major array.
Mat4 identityWith(int i, int j, int k, float x, float y, float z) {
    Mat4 m = identity();
    m[i] = x;
    m[j] = y;
    m[k] = z;
    return m;
}

}  // namespace

Mat4 translation(float x, float y, float z) { return identityWith(12, 13, 14, x, y, z); }

Mat4 scaling(float x, float y, float z) { return identityWith(0, 5, 10, x, y, z); }

Mat4 rotation(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return identity();
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * 3.14159265358979f / 180.0f;
    const float c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,  //
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,  //
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,  //
            0,
            0,
            0,
            1};
}

Mat4 ortho(double l, double r, double b, double t, double n, double f) {
    Mat4 m = identity();
    m[0] = static_cast<float>(2 / (r - l));
    m[5] = static_cast<float>(2 / (t - b));
    m[10] = static_cast<float>(-2 / (f - n));
    m[12] = static_cast<float>(-(r + l) / (r - l));
    m[13] = static_cast<float>(-(t + b) / (t - b));
    m[14] = static_cast<float>(-(f + n) / (f - n));
    return m;
}

Mat4 frustum(double l, double r, double b, double t, double n, double f) {
    Mat4 m{};
    m[0] = static_cast<float>(2 * n / (r - l));
    m[5] = static_cast<float>(2 * n / (t - b));
    m[8] = static_cast<float>((r + l) / (r - l));
    m[9] = static_cast<float>((t + b) / (t - b));
    m[10] = static_cast<float>(-(f + n) / (f - n));
    m[11] = -1;
    m[14] = static_cast<float>(-2 * f * n / (f - n));
    return m;
}

std::array<float, 9> normalMatrix(const Mat4& m) {
    // Upper 3x3 a[row][column]; the inverse transpose is the cofactor matrix over the determinant.
    auto a = [&](int row, int column) { return m[column * 4 + row]; };
    float cof[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const int r0 = (row + 1) % 3, r1 = (row + 2) % 3, c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            cof[row][column] = a(r0, c0) * a(r1, c1) - a(r0, c1) * a(r1, c0);
        }
    float det = a(0, 0) * cof[0][0] + a(0, 1) * cof[0][1] + a(0, 2) * cof[0][2];
    if (det == 0) det = 1;
    std::array<float, 9> n{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) n[column * 3 + row] = cof[row][column] / det;
    return n;
}

}  // namespace vantor::webgl
