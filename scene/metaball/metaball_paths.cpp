#include "scene/metaball/metaball_paths.h"

#include <cmath>

namespace metaball {
namespace {

constexpr double kBasePositions[kBallCount][4] = {
    {6, 7, 8, 1}, {-5, -6, -9, 1}, {7, -3, 3, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1},
};
constexpr float kRotationFactors[kBallCount][3] = {
    {0, 1.5f, 1.5f}, {1, 1.5f, 0}, {1.5f, -1, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}, {0, 0, 0.5f},
};
constexpr float kStrengths[kBallCount] = {800, 800, 800, 400, 400, 400};
constexpr double kPi = 3.1415927;

// 4 x 4 doubles, rows of the row-vector convention: v' = v . M.
struct Matrix4d {
    double m[4][4];

    static Matrix4d identity() {
        Matrix4d r{};
        for (int n = 0; n < 4; ++n) r.m[n][n] = 1;
        return r;
    }
    Matrix4d times(const Matrix4d& b) const {
        Matrix4d r{};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                for (int n = 0; n < 4; ++n) r.m[row][col] += m[row][n] * b.m[n][col];
        return r;
    }
};

// Rotation about one axis (0 x, 1 y, 2 z) by degrees: about x,
// y' = y cos a - z sin a and z' = y sin a + z cos a, and likewise.
Matrix4d rotation(int axis, double degrees) {
    const double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a);
    const int u = axis == 0 ? 1 : (axis == 1 ? 2 : 0);  // the two axes that turn, u before v
    const int v = axis == 0 ? 2 : (axis == 1 ? 0 : 1);
    Matrix4d r = Matrix4d::identity();
    r.m[u][u] = c;
    r.m[v][u] = -s;
    r.m[u][v] = s;
    r.m[v][v] = c;
    return r;
}

}  // namespace

void BallPaths::advance(float sceneTime) {
    const float u = sceneTime / 5;
    angleScaleX = 2.5 * u;
    angleScaleY = 2.0 * u;
    angleScaleZ = 3.0 * u;
    offsets[3][0] = float(10 * std::sin(u / 2.5));
    offsets[4][1] = float(12 * std::sin(u / 6.5));
    offsets[4][2] = float(10 * std::sin(u / 1.5));
    offsets[5][2] = float(12 * std::sin(u / 2.0));
}

void BallPaths::place(Ball (&balls)[kBallCount]) const {
    for (int b = 0; b < kBallCount; ++b) {
        double position[4] = {kBasePositions[b][0] + offsets[b][0], kBasePositions[b][1] + offsets[b][1],
                              kBasePositions[b][2] + offsets[b][2], kBasePositions[b][3]};
        const Matrix4d transform = Matrix4d::identity()
                                       .times(rotation(0, kRotationFactors[b][0] * angleScaleX))
                                       .times(rotation(1, kRotationFactors[b][1] * angleScaleY))
                                       .times(rotation(2, kRotationFactors[b][2] * angleScaleZ));
        double turned[4] = {};
        for (int col = 0; col < 4; ++col)
            for (int n = 0; n < 4; ++n) turned[col] += position[n] * transform.m[n][col];
        balls[b].x = float(turned[0]);
        balls[b].y = float(turned[1]);
        balls[b].z = float(turned[2]);
        balls[b].strength = kStrengths[b];
    }
}

}  // namespace metaball
