#include "scene/metaball/marching_cubes_table.h"

namespace metaball {
namespace {

// The six faces, each as its four corners in order around the face.
constexpr int kFaceCorners[6][4] = {
    {0, 1, 3, 2},  // i = 0
    {4, 5, 7, 6},  // i = 1
    {0, 1, 5, 4},  // j = 0
    {2, 3, 7, 6},  // j = 1
    {0, 2, 6, 4},  // k = 0
    {1, 3, 7, 5},  // k = 1
};

int edgeBetween(int a, int b) {
    for (int e = 0; e < 12; ++e) {
        const int c0 = kCubeEdgeCorners[e][0], c1 = kCubeEdgeCorners[e][1];
        if ((c0 == a && c1 == b) || (c0 == b && c1 == a)) return e;
    }
    return -1;
}

TriangleRow buildRow(int index) {
    auto inside = [index](int corner) { return (index >> corner) & 1; };
    auto crosses = [&](int e) { return inside(kCubeEdgeCorners[e][0]) != inside(kCubeEdgeCorners[e][1]); };
    // The group whose corners stay apart on a face where both groups touch
    // diagonally: the inside corners, unless they are the majority. A row and
    // the cube index it stands for by the complement rule then separate the
    // same corners, and no polygon grows beyond six edges.
    int insideCount = 0;
    for (int corner = 0; corner < 8; ++corner) insideCount += inside(corner);
    const int separateInside = insideCount <= 4 ? 1 : 0;

    // Every crossing edge lies on two faces and is joined to one crossing edge
    // on each: the two neighbours of its polygon.
    int link[12][2];
    int links[12] = {};
    auto join = [&](int a, int b) {
        link[a][links[a]++] = b;
        link[b][links[b]++] = a;
    };
    for (const auto& face : kFaceCorners) {
        int edges[4];
        int crossing = 0;
        for (int s = 0; s < 4; ++s) {
            edges[s] = edgeBetween(face[s], face[(s + 1) % 4]);
            crossing += crosses(edges[s]);
        }
        if (crossing == 2) {
            int pair[2], n = 0;
            for (int e : edges)
                if (crosses(e)) pair[n++] = e;
            join(pair[0], pair[1]);
        } else if (crossing == 4) {
            // Two corners of each kind, touching only diagonally: cut each
            // corner of the smaller group off on its own. Corner s of the
            // face lies between side s - 1 and side s.
            for (int s = 0; s < 4; ++s)
                if (inside(face[s]) == separateInside) join(edges[(s + 3) % 4], edges[s]);
        }
    }

    TriangleRow row;
    row.fill(-1);
    int slot = 0;
    bool used[12] = {};
    for (int start = 0; start < 12; ++start) {
        if (!crosses(start) || used[start]) continue;
        // Walk the polygon from its lowest edge, first towards the lower of
        // its two neighbours.
        int loop[12], length = 0;
        int previous = -1, current = start;
        const int first = link[start][0] < link[start][1] ? link[start][0] : link[start][1];
        while (!used[current]) {
            used[current] = true;
            loop[length++] = current;
            const int next =
                previous < 0 ? first : (link[current][0] == previous ? link[current][1] : link[current][0]);
            previous = current;
            current = next;
        }
        // The polygon as a strip: from both ends of the walk towards the middle.
        int strip[12];
        for (int n = 0, front = 0, back = length - 1; n < length; ++n)
            strip[n] = (n % 2 == 0) ? loop[front++] : loop[back--];
        for (int t = 0; t + 2 < length; ++t)
            for (int v = 0; v < 3; ++v) row[slot++] = static_cast<std::int8_t>(strip[t + v]);
    }
    return row;
}

std::array<TriangleRow, 128> buildTable() {
    std::array<TriangleRow, 128> table;
    for (int index = 0; index < 128; ++index) table[index] = buildRow(index);
    return table;
}

}  // namespace

const std::array<TriangleRow, 128>& triangleTable() {
    static const std::array<TriangleRow, 128> table = buildTable();
    return table;
}

}  // namespace metaball
