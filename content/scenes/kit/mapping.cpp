#include "content/scenes/kit/mapping.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace scenekit {
namespace {

constexpr double kPi = 3.14159265358979;

// Angle about the y axis as 0..1, measured as the lathe builds its rings
// (x = r sin a, z = r cos a); -1 on the axis, where every angle is right.
float turnOf(const Vec3& p) {
    if (p.x == 0 && p.z == 0) return -1;
    double a = std::atan2(double(p.x), double(p.z)) / (2 * kPi);
    if (a < 0) a += 1;
    return float(a);
}

void mapEach(Mesh& mesh, const std::function<Vec2(const Vec3&)>& at, bool wraps, float period) {
    mesh.uvs.clear();
    for (Triangle& t : mesh.triangles) {
        Vec2 uv[3];
        for (int k = 0; k < 3; ++k) uv[k] = at(mesh.positions[t.v[k]]);
        if (wraps) {
            // Corners on the axis take the middle of the others' angles.
            float lo = 1e30f, hi = -1e30f;
            for (const Vec2& c : uv)
                if (c.u >= 0) lo = std::min(lo, c.u), hi = std::max(hi, c.u);
            if (hi - lo > period / 2)
                for (Vec2& c : uv)
                    if (c.u >= 0 && c.u < period / 2) c.u += period;
            float sum = 0;
            int count = 0;
            for (const Vec2& c : uv)
                if (c.u >= 0) sum += c.u, ++count;
            for (Vec2& c : uv)
                if (c.u < 0) c.u = count ? sum / count : 0;
        }
        for (int k = 0; k < 3; ++k) t.t[k] = mesh.addUv(uv[k]);
    }
}

}  // namespace

void planarMap(Mesh& mesh, const Vec3& uAxis, const Vec3& vAxis, float scale) {
    mapEach(
        mesh, [&](const Vec3& p) { return Vec2(Vec3::dot(p, uAxis) * scale, Vec3::dot(p, vAxis) * scale); }, false, 0);
}

void cylindricalMap(Mesh& mesh, float vScale, float turns) {
    mapEach(
        mesh,
        [&](const Vec3& p) {
            const float u = turnOf(p);
            return Vec2(u < 0 ? u : u * turns, p.y * vScale + 0.5f);
        },
        true, turns);
}

void sphericalMap(Mesh& mesh) {
    mapEach(
        mesh,
        [](const Vec3& p) {
            const double r = std::sqrt(double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
            const double lat = r > 0 ? std::asin(std::clamp(double(p.y) / r, -1.0, 1.0)) : 0;
            return Vec2(turnOf(p), float(lat / kPi + 0.5));
        },
        true, 1);
}

}  // namespace scenekit
