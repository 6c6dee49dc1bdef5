// The cube tables of the metaball polygoniser.
//
// A grid cube has corners 0 to 7; corner n sits at offset (n & 1, (n >> 1) & 1,
// (n >> 2) & 1) along (k, j, i) of the field grid. Edge e joins the two corners
// kCubeEdgeCorners[e]. A cube's index has bit n set when corner n is inside the
// surface (its value strictly above the iso level).
//
// The triangle table has 128 rows: an index above 127 is first replaced by
// 255 - index (inside and outside swapped give the same crossing edges), so
// corner 7 is always outside in a row. A row lists up to four triangles as
// triples of edge numbers, the unused slots -1. Its triangles use exactly the
// edges that cross the level (one corner inside, one outside). The crossing
// edges form closed polygons around the inside corners; each polygon is sent
// as a triangle strip flattened into triangles. On a face where two inside
// corners touch only diagonally, each of them is cut off by its own segment,
// so inside corners that share no cube edge get separate polygons.
#pragma once

#include <array>
#include <cstdint>

namespace metaball {

constexpr int kCubeEdgeCorners[12][2] = {
    {0, 1}, {0, 2}, {1, 3}, {2, 3}, {0, 4}, {1, 5}, {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7},
};

constexpr int kTriangleRowSlots = 15;
using TriangleRow = std::array<std::int8_t, kTriangleRowSlots>;

// The 128 rows, built once from the rule above on first use.
const std::array<TriangleRow, 128>& triangleTable();

// The table row of a cube index 0 to 255, complement rule applied.
inline int tableRow(int cubeIndex) { return cubeIndex > 127 ? 255 - cubeIndex : cubeIndex; }

}  // namespace metaball
