// Triangle meshes as the scene files store them: positions, texture
// coordinates and faces that index both. The renderer averages the normals of
// every face around a shared position, so sharing a position gives a smooth
// edge and giving each side its own positions gives a hard one.
#pragma once

#include "scene/format/vector.h"

#include <cstdint>
#include <vector>

namespace scenekit {

struct Triangle {
    std::uint32_t v[3];
    std::uint32_t t[3];
    std::int32_t material = 0;
};

// An affine transform of points: a 3 x 3 part (rows) and a translation.
struct Affine {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;

    static Affine translation(const Vec3& offset);
    static Affine scaling(const Vec3& factors);
    static Affine scaling(float factor) { return scaling({factor, factor, factor}); }
    // Right-handed turn about an axis through the origin, in degrees.
    static Affine rotation(const Vec3& axis, float degrees);

    Vec3 apply(const Vec3& p) const;
    float determinant() const;
    // (a * b).apply(p) == a.apply(b.apply(p))
    friend Affine operator*(const Affine& a, const Affine& b);
};

struct Mesh {
    std::vector<Vec3> positions;
    std::vector<Vec2> uvs;
    std::vector<Triangle> triangles;

    std::uint32_t addPosition(const Vec3& p);
    std::uint32_t addUv(const Vec2& uv);
    // Positions a, b, c counter-clockwise seen from the front; coordinates ta, tb, tc.
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t ta, std::uint32_t tb,
                     std::uint32_t tc);
    // Two triangles a b c and a c d.
    void addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t ta, std::uint32_t tb,
                 std::uint32_t tc, std::uint32_t td);

    void append(const Mesh& other);
    // Moves every position; a mirroring transform also reverses the winding
    // so the front faces stay in front.
    void transform(const Affine& a);
    void setMaterial(std::int32_t id);
    // Front face of triangle i: the unnormalised cross product (b - a) x (c - a).
    Vec3 faceNormal(std::size_t i) const;
    // Turns every triangle to face away from the point (for convex shapes).
    void orientAwayFrom(const Vec3& centre);
    // Turns every triangle over: outside becomes inside (corridors, rooms).
    void flip();
};

// Flattens the mesh to triangles whose corners are their own positions: every
// edge becomes hard (faceted shading) while the texture coordinates stay.
Mesh faceted(const Mesh& mesh);

}  // namespace scenekit
