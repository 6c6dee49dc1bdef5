#include "scene/format/matrix.h"

#include <cmath>

void Matrix4::identity() {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::setEuler(float a, float b, float c) {
    identity();
    const double ca = std::cos(double(a)), sa = std::sin(double(a));
    const double cb = std::cos(double(b)), sb = std::sin(double(b));
    const double cc = std::cos(double(c)), sc = std::sin(double(c));
    m[0] = float(cb * cc);
    m[1] = float(sc * ca + cc * sb * sa);
    m[2] = float(sc * sa - cc * sb * ca);
    m[4] = float(-cb * sc);
    m[5] = float(cc * ca - sc * sb * sa);
    m[6] = float(cc * sa + sc * sb * ca);
    m[8] = float(sb);
    m[9] = float(-cb * sa);
    m[10] = float(cb * ca);
}

Vec3 Matrix4::rotate(const Vec3& v) const {
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
            m[2] * v.x + m[6] * v.y + m[10] * v.z};
}

Vec3 Matrix4::transform(const Vec3& v, float w, float* outW) const {
    if (outW) *outW = m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15] * w;
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12] * w, m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13] * w,
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14] * w};
}

float degreesToRadians(float degrees) {
    const float pi = 3.1415927f;
    return degrees / 360.0f * 2.0f * pi;
}
