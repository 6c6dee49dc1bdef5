#include "content/scenes/kit/rotation.h"

#include <cmath>

namespace scenekit {

Quaternion turn(const Vec3& axis, float degrees) {
    Vec3 n = axis;
    n.normalize();
    const double half = double(degrees) * 3.14159265358979 / 360.0;
    const float s = float(std::sin(half));
    return {n.x * s, n.y * s, n.z * s, float(std::cos(half))};
}

Quaternion compose(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion eulerXYZ(float x, float y, float z) {
    return compose(turn({0, 0, 1}, z), compose(turn({0, 1, 0}, y), turn({1, 0, 0}, x)));
}

Vec3 rotate(const Quaternion& q, const Vec3& v) {
    const Quaternion p = compose(compose(q, Quaternion(v.x, v.y, v.z, 0)), Quaternion(-q.x, -q.y, -q.z, q.w));
    return {p.x, p.y, p.z};
}

Quaternion toFile(const Quaternion& q) { return {-q.x, -q.y, -q.z, q.w}; }

Quaternion lookRotation(const Vec3& direction, const Vec3& up) {
    Vec3 back = direction * -1.0f;
    back.normalize();
    Vec3 right = Vec3::cross(up, back);
    right.normalize();
    const Vec3 top = Vec3::cross(back, right);
    // Columns right, top, back of the rotation matrix to a quaternion.
    const float m00 = right.x, m11 = top.y, m22 = back.z;
    const float trace = m00 + m11 + m22;
    Quaternion q;
    if (trace > 0) {
        const float s = std::sqrt(trace + 1) * 2;
        q = {(top.z - back.y) / s, (back.x - right.z) / s, (right.y - top.x) / s, s / 4};
    } else if (m00 > m11 && m00 > m22) {
        const float s = std::sqrt(1 + m00 - m11 - m22) * 2;
        q = {s / 4, (top.x + right.y) / s, (back.x + right.z) / s, (top.z - back.y) / s};
    } else if (m11 > m22) {
        const float s = std::sqrt(1 + m11 - m00 - m22) * 2;
        q = {(top.x + right.y) / s, s / 4, (back.y + top.z) / s, (back.x - right.z) / s};
    } else {
        const float s = std::sqrt(1 + m22 - m00 - m11) * 2;
        q = {(back.x + right.z) / s, (back.y + top.z) / s, s / 4, (right.y - top.x) / s};
    }
    return q;
}

}  // namespace scenekit
