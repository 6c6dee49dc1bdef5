#include "scene/metaball/metaball_polygoniser.h"

#include "scene/metaball/marching_cubes_table.h"

#include <cmath>

namespace metaball {
namespace {

constexpr float kEpsilon = 0.001f;
constexpr int kLastCube = kGridSide - 2;

// Grid offset of cube corner n: (n & 1) along k, (n >> 1) & 1 along j, (n >> 2) & 1 along i.
constexpr int cornerOffset(int n) {
    return (n & 1) + ((n >> 1) & 1) * kGridSide + ((n >> 2) & 1) * kGridSide * kGridSide;
}
constexpr int kCornerOffsets[8] = {cornerOffset(0), cornerOffset(1), cornerOffset(2), cornerOffset(3),
                                   cornerOffset(4), cornerOffset(5), cornerOffset(6), cornerOffset(7)};

}  // namespace

Vec3 interpolatePosition(const Vec3& p1, const Vec3& p2, float v1, float v2) {
    if (std::fabs(kIsoLevel - v1) < kEpsilon || std::fabs(v1 - v2) < kEpsilon) return p1;
    if (std::fabs(kIsoLevel - v2) < kEpsilon) return p2;
    const float mu = (kIsoLevel - v1) / (v2 - v1);
    return {p1.x + mu * (p2.x - p1.x), p1.y + mu * (p2.y - p1.y), p1.z + mu * (p2.z - p1.z)};
}

Vec3 interpolateNormal(const Vec3& n1, const Vec3& n2, float v1, float v2) {
    if (std::fabs(kIsoLevel - v1) < kEpsilon || std::fabs(v1 - v2) < kEpsilon) return n1;
    if (std::fabs(kIsoLevel - v2) < kEpsilon) return n2;
    float mu = (kIsoLevel - v1) / (v2 - v1);
    if (mu < 0) mu = 0;
    if (mu > 1) mu = 1;
    return {n1.x + mu * (n2.x - n1.x), n1.y + mu * (n2.y - n1.y), n1.z + mu * (n2.z - n1.z)};
}

int Polygoniser::run(const float* values, const Vec3* gradients, Vec3* vertices, Vec3* normals, int capacity) {
    const auto& table = triangleTable();
    std::uint8_t* inside = inside_.data();
    for (int p = 0; p < kGridPoints; ++p) inside[p] = values[p] > kIsoLevel;
    // The four corners of the square at (i, j, k) to (i, j + 1, k + 1) as bits
    // 0 to 3: a cube's index is its lower square's code and its upper one's
    // shifted by four.
    std::uint8_t* square = squares_.data();
    for (int p = 0; p + kGridSide + 1 < kGridPoints; ++p)
        square[p] =
            std::uint8_t(inside[p] | inside[p + 1] << 1 | inside[p + kGridSide] << 2 | inside[p + kGridSide + 1] << 3);

    int count = 0;
    for (int j = 0; j <= kLastCube; ++j)
        for (int k = 0; k <= kLastCube; ++k)
            for (int i = kLastCube; i >= 0; --i) {
                const int base = gridIndex(i, j, k);
                const int index = square[base] | square[base + kGridSide * kGridSide] << 4;
                const TriangleRow& row = table[tableRow(index)];
                if (row[0] < 0) continue;  // index 0 or 255: no surface in this cube

                for (int slot = 0; slot < kTriangleRowSlots && row[slot] >= 0; slot += 3) {
                    if (count + 3 > capacity) return count;
                    for (int v = 0; v < 3; ++v) {
                        const int a = kCubeEdgeCorners[row[slot + v]][0];
                        const int b = kCubeEdgeCorners[row[slot + v]][1];
                        const int pa = base + kCornerOffsets[a], pb = base + kCornerOffsets[b];
                        const Vec3 positionA(float(k + (a & 1) - kGridCentre), float(j + ((a >> 1) & 1) - kGridCentre),
                                             float(-(i + ((a >> 2) & 1))));
                        const Vec3 positionB(float(k + (b & 1) - kGridCentre), float(j + ((b >> 1) & 1) - kGridCentre),
                                             float(-(i + ((b >> 2) & 1))));
                        vertices[count] = interpolatePosition(positionA, positionB, values[pa], values[pb]);
                        normals[count] = interpolateNormal(gradients[pa], gradients[pb], values[pa], values[pb]);
                        ++count;
                    }
                }
            }
    return count;
}

}  // namespace metaball
