#include "scene/format/quaternion.h"

#include <cmath>

Matrix4 Quaternion::toMatrix() const {
    const float n = x * x + y * y + z * z + w * w;
    const float s = (n == 0.0f) ? 1.0f : 2.0f / n;
    const float xs = s * x, ys = s * y, zs = s * z;
    const float wx = xs * w, wy = ys * w, wz = zs * w;
    const float xx = xs * x, xy = ys * x, xz = zs * x;
    const float yy = ys * y, yz = zs * y, zz = zs * z;

    Matrix4 r;
    r.m[0] = 1 - (yy + zz);
    r.m[1] = xy - wz;
    r.m[2] = xz + wy;
    r.m[4] = xy + wz;
    r.m[5] = 1 - (xx + zz);
    r.m[6] = yz - wx;
    r.m[8] = xz - wy;
    r.m[9] = yz + wx;
    r.m[10] = 1 - (xx + yy);
    return r;
}

Quaternion slerp(const Quaternion& a, const Quaternion& b, float u, int spins) {
    const double pi = 3.14159265358979;
    double cosTheta = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
    bool flip = false;
    if (cosTheta < 0) {
        cosTheta = -cosTheta;
        flip = true;
    }
    double wa, wb;
    if (1.0 - cosTheta < 1e-6) {
        wa = 1.0 - u;
        wb = u;
    } else {
        const double theta = std::acos(cosTheta);
        const double phi = theta + spins * pi;
        const double sinTheta = std::sin(theta);
        wa = std::sin(theta - u * phi) / sinTheta;
        wb = std::sin(u * phi) / sinTheta;
    }
    if (flip) wb = -wb;
    return Quaternion(float(wa * a.x + wb * b.x), float(wa * a.y + wb * b.y), float(wa * a.z + wb * b.z),
                      float(wa * a.w + wb * b.w));
}
