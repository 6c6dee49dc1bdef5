#include "content/scenes/kit/geometry.h"

#include <cmath>
#include <utility>

namespace scenekit {

Affine Affine::translation(const Vec3& offset) {
    Affine a;
    a.t = offset;
    return a;
}

Affine Affine::scaling(const Vec3& factors) {
    Affine a;
    a.m[0][0] = factors.x;
    a.m[1][1] = factors.y;
    a.m[2][2] = factors.z;
    return a;
}

Affine Affine::rotation(const Vec3& axis, float degrees) {
    Vec3 n = axis;
    n.normalize();
    const double r = double(degrees) * 3.14159265358979 / 180.0;
    const float c = float(std::cos(r)), s = float(std::sin(r)), k = 1 - c;
    Affine a;
    a.m[0][0] = c + n.x * n.x * k;
    a.m[0][1] = n.x * n.y * k - n.z * s;
    a.m[0][2] = n.x * n.z * k + n.y * s;
    a.m[1][0] = n.y * n.x * k + n.z * s;
    a.m[1][1] = c + n.y * n.y * k;
    a.m[1][2] = n.y * n.z * k - n.x * s;
    a.m[2][0] = n.z * n.x * k - n.y * s;
    a.m[2][1] = n.z * n.y * k + n.x * s;
    a.m[2][2] = c + n.z * n.z * k;
    return a;
}

Vec3 Affine::apply(const Vec3& p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x, m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
}

float Affine::determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Affine operator*(const Affine& a, const Affine& b) {
    Affine r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    r.t = a.apply(b.t);
    return r;
}

std::uint32_t Mesh::addPosition(const Vec3& p) {
    positions.push_back(p);
    return std::uint32_t(positions.size() - 1);
}

std::uint32_t Mesh::addUv(const Vec2& uv) {
    uvs.push_back(uv);
    return std::uint32_t(uvs.size() - 1);
}

void Mesh::addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t ta, std::uint32_t tb,
                       std::uint32_t tc) {
    Triangle t;
    t.v[0] = a, t.v[1] = b, t.v[2] = c;
    t.t[0] = ta, t.t[1] = tb, t.t[2] = tc;
    triangles.push_back(t);
}

void Mesh::addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t ta,
                   std::uint32_t tb, std::uint32_t tc, std::uint32_t td) {
    addTriangle(a, b, c, ta, tb, tc);
    addTriangle(a, c, d, ta, tc, td);
}

void Mesh::append(const Mesh& other) {
    const auto p0 = std::uint32_t(positions.size()), t0 = std::uint32_t(uvs.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (Triangle t : other.triangles) {
        for (int k = 0; k < 3; ++k) t.v[k] += p0, t.t[k] += t0;
        triangles.push_back(t);
    }
}

void Mesh::transform(const Affine& a) {
    for (Vec3& p : positions) p = a.apply(p);
    if (a.determinant() < 0) flip();
}

void Mesh::setMaterial(std::int32_t id) {
    for (Triangle& t : triangles) t.material = id;
}

Vec3 Mesh::faceNormal(std::size_t i) const {
    const Triangle& t = triangles[i];
    const Vec3& a = positions[t.v[0]];
    return Vec3::cross(positions[t.v[1]] - a, positions[t.v[2]] - a);
}

void Mesh::orientAwayFrom(const Vec3& centre) {
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const Triangle& t = triangles[i];
        const Vec3 middle = (positions[t.v[0]] + positions[t.v[1]] + positions[t.v[2]]) * (1.0f / 3);
        if (Vec3::dot(faceNormal(i), middle - centre) < 0) {
            std::swap(triangles[i].v[1], triangles[i].v[2]);
            std::swap(triangles[i].t[1], triangles[i].t[2]);
        }
    }
}

void Mesh::flip() {
    for (Triangle& t : triangles) {
        std::swap(t.v[1], t.v[2]);
        std::swap(t.t[1], t.t[2]);
    }
}

Mesh faceted(const Mesh& mesh) {
    Mesh out;
    out.uvs = mesh.uvs;
    for (Triangle t : mesh.triangles) {
        for (std::uint32_t& v : t.v) v = out.addPosition(mesh.positions[v]);
        out.triangles.push_back(t);
    }
    return out;
}

}  // namespace scenekit
