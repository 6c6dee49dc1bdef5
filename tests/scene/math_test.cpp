// Vectors, matrices and quaternions against independent computation.
#include "scene/format/quaternion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The textbook rotation matrix of a unit quaternion, row-major R[row][col].
void textbookMatrix(double x, double y, double z, double w, double r[3][3]) {
    r[0][0] = 1 - 2 * (y * y + z * z), r[0][1] = 2 * (x * y - z * w), r[0][2] = 2 * (x * z + y * w);
    r[1][0] = 2 * (x * y + z * w), r[1][1] = 1 - 2 * (x * x + z * z), r[1][2] = 2 * (y * z - x * w);
    r[2][0] = 2 * (x * z - y * w), r[2][1] = 2 * (y * z + x * w), r[2][2] = 1 - 2 * (x * x + y * y);
}

void expectIdentity(const Matrix4& m) {
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.m[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;
}

TEST(QuaternionTest, IdentityAndZeroQuaternionsGiveTheIdentityMatrix) {
    expectIdentity(Quaternion(0, 0, 0, 1).toMatrix());
    expectIdentity(Quaternion(0, 0, 0, 0).toMatrix());
}

TEST(QuaternionTest, MatrixIsTheTransposeOfTheTextbookMatrixInColumnOrder) {
    const float s = std::sin(float(M_PI) / 4), c = std::cos(float(M_PI) / 4);
    const Matrix4 quarter = Quaternion(0, 0, s, c).toMatrix();
    EXPECT_NEAR(quarter.m[1], -1.0f, 1e-6);
    EXPECT_NEAR(quarter.m[4], 1.0f, 1e-6);

    // An arbitrary, not normalised quaternion: toMatrix normalises through s = 2 / n.
    const double q[4] = {0.3, -0.5, 0.7, 0.4};
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    double r[3][3];
    textbookMatrix(q[0] / n, q[1] / n, q[2] / n, q[3] / n, r);
    const Matrix4 m = Quaternion(float(q[0]), float(q[1]), float(q[2]), float(q[3])).toMatrix();
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            EXPECT_NEAR(m.get(col, row), r[col][row], 1e-5) << col << "," << row;  // transposed
    EXPECT_EQ(m.m[15], 1.0f);
    EXPECT_EQ(m.m[3], 0.0f);
    EXPECT_EQ(m.m[12], 0.0f);
}

TEST(MatrixTest, EulerRotationIsRxRyRzForColumnVectors) {
    Matrix4 z90;
    z90.setEuler(0, 0, float(M_PI / 2));
    EXPECT_NEAR(z90.m[1], 1.0f, 1e-6);
    EXPECT_NEAR(z90.m[4], -1.0f, 1e-6);
    EXPECT_NEAR(z90.m[0], 0.0f, 1e-6);

    // Product of the three elementary rotations, computed here.
    const double a = 0.4, b = -1.1, c = 2.3;
    const double rx[3][3] = {{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}};
    const double ry[3][3] = {{std::cos(b), 0, std::sin(b)}, {0, 1, 0}, {-std::sin(b), 0, std::cos(b)}};
    const double rz[3][3] = {{std::cos(c), -std::sin(c), 0}, {std::sin(c), std::cos(c), 0}, {0, 0, 1}};
    double xy[3][3] = {}, xyz[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) xy[i][j] += rx[i][k] * ry[k][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) xyz[i][j] += xy[i][k] * rz[k][j];
    Matrix4 m;
    m.setEuler(float(a), float(b), float(c));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) EXPECT_NEAR(m.get(col, row), xyz[row][col], 1e-6);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(MatrixTest, DegreesUseTheLibrarysPi) {
    EXPECT_FLOAT_EQ(degreesToRadians(180.0f), 3.1415927f);
    EXPECT_FLOAT_EQ(degreesToRadians(90.0f), 3.1415927f / 2);
}

TEST(QuaternionTest, SlerpTakesTheShortWayAndHandlesANegatedQuaternion) {
    const Quaternion a(0.1f, 0.2f, 0.3f, 0.927362f);
    const Quaternion negated(-a.x, -a.y, -a.z, -a.w);
    const Quaternion half = slerp(a, negated, 0.5f);
    EXPECT_NEAR(half.x, a.x, 1e-6);
    EXPECT_NEAR(half.y, a.y, 1e-6);
    EXPECT_NEAR(half.z, a.z, 1e-6);
    EXPECT_NEAR(half.w, a.w, 1e-6);

    // Identity to a half turn about z: the midpoint is a quarter turn.
    const Quaternion identity(0, 0, 0, 1), halfTurn(0, 0, 1, 0);
    const Quaternion mid = slerp(identity, halfTurn, 0.5f);
    EXPECT_NEAR(mid.z, std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(mid.w, std::sqrt(0.5), 1e-6);
    // Ends reproduce the inputs.
    const Quaternion end = slerp(identity, halfTurn, 1.0f);
    EXPECT_NEAR(end.z, 1.0f, 1e-6);
    EXPECT_NEAR(end.w, 0.0f, 1e-6);
    // The short way: b with a negative dot product is approached through -b.
    const Quaternion farSide(0, 0, -std::sqrt(0.5f), -std::sqrt(0.5f));  // = quarter turn, negated
    const Quaternion towards = slerp(identity, farSide, 1.0f);
    EXPECT_NEAR(towards.z, std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(towards.w, std::sqrt(0.5), 1e-6);
}

TEST(VectorTest, ProductsLengthNormaliseAndLerp) {
    const Vec3 a(1, 2, 3), b(-4, 5, 0.5f);
    const Vec3 c = Vec3::cross(a, b);
    EXPECT_FLOAT_EQ(Vec3::dot(c, a), 0.0f);
    EXPECT_FLOAT_EQ(Vec3::dot(c, b), 0.0f);
    EXPECT_FLOAT_EQ(c.z, 1 * 5 - 2 * -4);
    const Vec3 d = Vec3::difference(a, b);
    EXPECT_FLOAT_EQ(d.x, -5);
    Vec3 n(3, 0, 4);
    EXPECT_FLOAT_EQ(n.length(), 5);
    n.normalize();
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    Vec3 zero;
    zero.normalize();
    EXPECT_FALSE(std::isfinite(zero.x));
    const Vec3 l = Vec3::lerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(l.x, 0.75f * 1 + 0.25f * -4);
}

}  // namespace
