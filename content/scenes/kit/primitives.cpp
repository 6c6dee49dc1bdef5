#include "content/scenes/kit/primitives.h"

#include "content/scenes/kit/tessellate.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace scenekit {
namespace {

constexpr double kPi = 3.14159265358979;

float axisOf(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
void setAxis(Vec3& v, int axis, float value) { (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value; }

}  // namespace

Mesh box(const Vec3& size) {
    Mesh m;
    const Vec3 h = size * 0.5f;
    const std::uint32_t t0 = m.addUv({0, 0}), t1 = m.addUv({1, 0}), t2 = m.addUv({1, 1}), t3 = m.addUv({0, 1});
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            const int a = (axis + 1) % 3, b = (axis + 2) % 3;
            std::uint32_t corner[4];
            const float su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
            for (int k = 0; k < 4; ++k) {
                Vec3 p;
                setAxis(p, axis, sign * axisOf(h, axis));
                setAxis(p, a, su[k] * axisOf(h, a));
                setAxis(p, b, sv[k] * axisOf(h, b));
                corner[k] = m.addPosition(p);
            }
            if (sign > 0)
                m.addQuad(corner[0], corner[1], corner[2], corner[3], t0, t1, t2, t3);
            else
                m.addQuad(corner[0], corner[3], corner[2], corner[1], t1, t2, t3, t0);
        }
    return m;
}

Mesh bevelledBox(const Vec3& size, float bevel) {
    Mesh m;
    const Vec3 h = size * 0.5f;
    // Corner point for the side facing `axis`, at the corner with the signs s.
    auto point = [&](int axis, const int s[3]) {
        Vec3 p;
        for (int k = 0; k < 3; ++k) setAxis(p, k, s[k] * (axisOf(h, k) - (k == axis ? 0 : bevel)));
        return p;
    };
    // Planar coordinates by the dominant axis of a position's side.
    auto uvFor = [&](const Vec3& p, int axis) {
        const int a = (axis + 1) % 3, b = (axis + 2) % 3;
        return Vec2(axisOf(p, a) / axisOf(size, a) + 0.5f, axisOf(p, b) / axisOf(size, b) + 0.5f);
    };
    std::uint32_t index[8][3];
    for (int c = 0; c < 8; ++c) {
        const int s[3] = {(c & 1) ? 1 : -1, (c & 2) ? 1 : -1, (c & 4) ? 1 : -1};
        for (int axis = 0; axis < 3; ++axis) {
            const Vec3 p = point(axis, s);
            index[c][axis] = m.addPosition(p);
            m.addUv(uvFor(p, axis));
        }
    }
    auto tri = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) { m.addTriangle(a, b, c, a, b, c); };
    auto quad = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        tri(a, b, c);
        tri(a, c, d);
    };
    // Sides: the four corners with the side's sign, in a cycle.
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = 0; sign < 2; ++sign) {
            const int a = (axis + 1) % 3, b = (axis + 2) % 3;
            auto corner = [&](int sa, int sb) { return (sign << axis) | (sa << a) | (sb << b); };
            quad(index[corner(0, 0)][axis], index[corner(1, 0)][axis], index[corner(1, 1)][axis],
                 index[corner(0, 1)][axis]);
        }
    // Edge cuts: along axis e, between the sides facing the other two axes.
    for (int e = 0; e < 3; ++e) {
        const int a = (e + 1) % 3, b = (e + 2) % 3;
        for (int sa = 0; sa < 2; ++sa)
            for (int sb = 0; sb < 2; ++sb) {
                const int lo = (sa << a) | (sb << b), hi = lo | (1 << e);
                quad(index[lo][a], index[hi][a], index[hi][b], index[lo][b]);
            }
    }
    for (int c = 0; c < 8; ++c) tri(index[c][0], index[c][1], index[c][2]);
    m.orientAwayFrom({0, 0, 0});
    return m;
}

Mesh lathe(const std::vector<LatheSection>& sections, int segments) {
    if (segments < 3) throw std::invalid_argument("a lathe needs at least three segments");
    Mesh m;
    for (const LatheSection& section : sections) {
        const auto& pts = section.points;
        const std::size_t n = pts.size();
        if (n < 2) throw std::invalid_argument("a lathe section needs two points");
        // Texture v runs with the length along the profile.
        std::vector<float> along(n + 1, 0);
        for (std::size_t i = 1; i <= n; ++i) {
            const Vec2& a = pts[i - 1];
            const Vec2& b = pts[i % n];
            along[i] = along[i - 1] + std::hypot(b.u - a.u, b.v - a.v);
        }
        const float total = section.closed ? along[n] : along[n - 1];
        // Rings of positions; a point on the axis is one position (a pole).
        std::vector<std::vector<std::uint32_t>> ring(n);
        for (std::size_t i = 0; i < n; ++i) {
            for (int j = 0; j < segments; ++j) {
                if (pts[i].u == 0 && j > 0) {
                    ring[i].push_back(ring[i][0]);
                    continue;
                }
                const double a = 2 * kPi * j / segments;
                ring[i].push_back(
                    m.addPosition({float(pts[i].u * std::sin(a)), pts[i].v, float(pts[i].u * std::cos(a))}));
            }
        }
        const std::size_t rows = section.closed ? n + 1 : n;
        std::vector<std::vector<std::uint32_t>> coord(rows);
        for (std::size_t i = 0; i < rows; ++i)
            for (int j = 0; j <= segments; ++j)
                coord[i].push_back(m.addUv({float(j) / segments, total > 0 ? along[i] / total : 0}));
        const std::size_t spans = section.closed ? n : n - 1;
        for (std::size_t i = 0; i < spans; ++i) {
            const std::size_t i2 = (i + 1) % n;
            for (int j = 0; j < segments; ++j) {
                const int j2 = (j + 1) % segments;
                const std::uint32_t a = ring[i][j], b = ring[i][j2], c = ring[i2][j2], d = ring[i2][j];
                const std::uint32_t ta = coord[i][j], tb = coord[i][j + 1], tc = coord[i + 1][j + 1],
                                    td = coord[i + 1][j];
                if (pts[i].u != 0) m.addTriangle(a, b, d, ta, tb, td);
                if (pts[i2].u != 0) m.addTriangle(b, c, d, tb, tc, td);
            }
        }
    }
    return m;
}

Mesh cylinder(float radius, float height, int segments, bool caps) {
    const float y = height / 2;
    std::vector<LatheSection> sections;
    if (caps) sections.push_back({{{0, -y}, {radius, -y}}});
    sections.push_back({{{radius, -y}, {radius, y}}});
    if (caps) sections.push_back({{{radius, y}, {0, y}}});
    return lathe(sections, segments);
}

Mesh cone(float radius, float height, int segments) {
    const float y = height / 2;
    return lathe({{{{0, -y}, {radius, -y}}}, {{{radius, -y}, {0, y}}}}, segments);
}

Mesh sphere(float radius, int rings, int segments) {
    LatheSection s;
    for (int i = 0; i <= rings; ++i) {
        const double a = -kPi / 2 + kPi * i / rings;
        s.points.push_back({i == 0 || i == rings ? 0.0f : float(radius * std::cos(a)), float(radius * std::sin(a))});
    }
    return lathe({s}, segments);
}

Mesh torus(float major, float minor, int segments, int sides) {
    LatheSection s;
    s.closed = true;
    for (int i = 0; i < sides; ++i) {
        const double a = 2 * kPi * i / sides;
        s.points.push_back({float(major + minor * std::cos(a)), float(minor * std::sin(a))});
    }
    return lathe({s}, segments);
}

Mesh extrude(const std::vector<std::vector<Vec2>>& contours, float depth, float uvScale, std::int32_t capMaterial,
             std::int32_t wallMaterial) {
    Mesh m;
    const float z = depth / 2;
    const FlatTriangles flat = tessellate(contours);
    for (int side = 0; side < 2; ++side) {
        const float zz = side == 0 ? z : -z;
        const auto base = std::uint32_t(m.positions.size());
        const auto tbase = std::uint32_t(m.uvs.size());
        for (const Vec2& p : flat.points) {
            m.addPosition({p.u, p.v, zz});
            m.addUv({p.u * uvScale, p.v * uvScale});
        }
        for (const auto& t : flat.triangles) {
            if (side == 0)
                m.addTriangle(base + t[0], base + t[1], base + t[2], tbase + t[0], tbase + t[1], tbase + t[2]);
            else
                m.addTriangle(base + t[0], base + t[2], base + t[1], tbase + t[0], tbase + t[2], tbase + t[1]);
            m.triangles.back().material = capMaterial;
        }
    }
    // Walls: outer contours counter-clockwise and holes clockwise put the
    // solid on the left of every edge, so (dy, -dx) points out of it.
    for (std::size_t c = 0; c < contours.size(); ++c) {
        std::vector<Vec2> contour = contours[c];
        if (contour.size() < 3) continue;
        int depthOfNesting = 0;
        for (std::size_t o = 0; o < contours.size(); ++o)
            if (o != c && insideContour(contour[0], contours[o])) ++depthOfNesting;
        const bool hole = depthOfNesting % 2 == 1;
        if ((signedArea2(contour) > 0) == hole) std::reverse(contour.begin(), contour.end());
        float along = 0;
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const Vec2& a = contour[i];
            const Vec2& b = contour[(i + 1) % contour.size()];
            const float length = std::hypot(b.u - a.u, b.v - a.v);
            if (length < 1e-5f) continue;
            const std::uint32_t pa = m.addPosition({a.u, a.v, z}), pb = m.addPosition({b.u, b.v, z});
            const std::uint32_t qb = m.addPosition({b.u, b.v, -z}), qa = m.addPosition({a.u, a.v, -z});
            const std::uint32_t ta = m.addUv({along * uvScale, 1}), tb = m.addUv({(along + length) * uvScale, 1});
            const std::uint32_t sb = m.addUv({(along + length) * uvScale, 0}), sa = m.addUv({along * uvScale, 0});
            // Seen from outside (the right of a -> b looking down z): qa, qb, pb, pa.
            m.addQuad(qa, qb, pb, pa, sa, sb, tb, ta);
            m.triangles[m.triangles.size() - 1].material = wallMaterial;
            m.triangles[m.triangles.size() - 2].material = wallMaterial;
            along += length;
        }
    }
    return m;
}

}  // namespace scenekit
