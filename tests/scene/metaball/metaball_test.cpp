// The metaball surface: the triangle table against the rule it is built by,
// the surface against a field the test computes itself, the surface's
// topology, the level's edge cases, the list bounds, and the fast field
// against the point-by-point one.
#include "kpx/kpx.h"
#include "scene/metaball/marching_cubes_table.h"
#include "scene/metaball/metaball_object.h"
#include "scene/scene_error.h"
#include "tests/scene/scene_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace vantor::test {
namespace {

using metaball::kCubeEdgeCorners;
using metaball::kGridPoints;
using metaball::kGridSide;
using Triangle = std::array<int, 3>;

std::vector<Triangle> rowTriangles(int row) {
    const auto& r = metaball::triangleTable()[row];
    std::vector<Triangle> triangles;
    for (int s = 0; s + 2 < 15 && r[s] >= 0; s += 3) triangles.push_back({r[s], r[s + 1], r[s + 2]});
    return triangles;
}

bool inside(int index, int corner) { return (index >> corner) & 1; }
bool crosses(int index, int edge) {
    return inside(index, kCubeEdgeCorners[edge][0]) != inside(index, kCubeEdgeCorners[edge][1]);
}

// The polygon outlines of a set of triangles: the sides (pairs of cube edges)
// that belong to exactly one triangle.
std::set<std::pair<int, int>> outline(const std::vector<Triangle>& triangles) {
    std::map<std::pair<int, int>, int> sides;
    for (const Triangle& t : triangles)
        for (int v = 0; v < 3; ++v) ++sides[std::minmax(t[v], t[(v + 1) % 3])];
    std::set<std::pair<int, int>> result;
    for (const auto& [side, n] : sides)
        if (n == 1) result.insert(side);
    return result;
}

int sharedCorner(int e1, int e2) {
    for (int a : kCubeEdgeCorners[e1])
        for (int b : kCubeEdgeCorners[e2])
            if (a == b) return a;
    return -1;
}

// Two cube edges lie on one face when their four corners agree in one bit.
bool onOneFace(int e1, int e2) {
    for (int bit = 0; bit < 3; ++bit) {
        const int v = (kCubeEdgeCorners[e1][0] >> bit) & 1;
        bool same = true;
        for (int c :
             {kCubeEdgeCorners[e1][0], kCubeEdgeCorners[e1][1], kCubeEdgeCorners[e2][0], kCubeEdgeCorners[e2][1]})
            same = same && ((c >> bit) & 1) == v;
        if (same) return true;
    }
    return false;
}

TEST(TriangleTable, EveryRowCutsItsCrossingEdgesIntoStripsOfAtMostFourTriangles) {
    for (int index = 0; index < 128; ++index) {
        SCOPED_TRACE(index);
        const auto& row = metaball::triangleTable()[index];
        const std::vector<Triangle> triangles = rowTriangles(index);
        EXPECT_LE(triangles.size(), 4u);
        for (std::size_t s = 3 * triangles.size(); s < 15; ++s) EXPECT_EQ(row[s], -1);

        std::set<int> used;
        for (const Triangle& t : triangles) {
            EXPECT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]);
            used.insert(t.begin(), t.end());
        }
        std::set<int> crossing;
        for (int e = 0; e < 12; ++e)
            if (crosses(index, e)) crossing.insert(e);
        EXPECT_EQ(used, crossing);

        // Outlines run along the cube's faces, each crossing edge on two of
        // them; an outline side that cuts a corner off cuts the corner of the
        // smaller group (the other side of the level, or the inside when the
        // groups are equal), so corners touching diagonally stay apart.
        const auto sides = outline(triangles);
        std::map<int, int> degree;
        for (const auto& [a, b] : sides) {
            EXPECT_TRUE(onOneFace(a, b)) << a << " " << b;
            ++degree[a];
            ++degree[b];
        }
        for (int e : crossing) EXPECT_EQ(degree[e], 2) << "edge " << e;

        // Flattened strips: each triangle continues the previous one's last
        // two edges, or starts a polygon of its own.
        for (std::size_t t = 1; t < triangles.size(); ++t) {
            const Triangle& a = triangles[t - 1];
            const Triangle& b = triangles[t];
            const bool continues = b[0] == a[1] && b[1] == a[2];
            const bool separate =
                std::none_of(b.begin(), b.end(), [&](int e) { return std::find(a.begin(), a.end(), e) != a.end(); });
            EXPECT_TRUE(continues || separate) << "triangle " << t;
        }
        // Each polygon of n edges is n - 2 triangles.
        int polygons = 0;
        std::set<int> seen;
        for (int e : crossing) {
            if (seen.count(e)) continue;
            ++polygons;
            std::vector<int> todo{e};
            while (!todo.empty()) {
                const int x = todo.back();
                todo.pop_back();
                if (!seen.insert(x).second) continue;
                for (const auto& [a, b] : sides) {
                    if (a == x) todo.push_back(b);
                    if (b == x) todo.push_back(a);
                }
            }
        }
        EXPECT_EQ(int(triangles.size()), int(crossing.size()) - 2 * polygons);
    }
}

TEST(TriangleTable, TellingRowsDrawTheSamePolygons) {
    const std::map<int, std::vector<Triangle>> telling = {
        {0, {}},
        {1, {{4, 0, 1}}},
        {2, {{5, 2, 0}}},
        {3, {{5, 4, 2}, {4, 2, 1}}},
        {6, {{2, 0, 5}, {3, 1, 6}}},
        {7, {{3, 2, 6}, {2, 6, 5}, {6, 5, 4}}},
        {22, {{5, 2, 0}, {8, 4, 9}, {3, 1, 6}}},
        {23, {{9, 6, 8}, {6, 8, 3}, {8, 3, 5}, {3, 5, 2}}},
        {127, {{7, 10, 11}}},
    };
    for (const auto& [index, triangles] : telling) {
        SCOPED_TRACE(index);
        EXPECT_EQ(rowTriangles(index).size(), triangles.size());
        EXPECT_EQ(outline(rowTriangles(index)), outline(triangles));
    }
    // Inside corners touching diagonally on a face get a triangle each.
    for (const auto& [a, b] : outline(rowTriangles(6))) EXPECT_NE(sharedCorner(a, b), -1);
    // The complement rule: 255 - index draws the row of index.
    EXPECT_EQ(metaball::tableRow(254), 1);
    EXPECT_EQ(metaball::tableRow(128), 127);
    EXPECT_EQ(metaball::tableRow(255), 0);
}

// ---- the surface ------------------------------------------------------------

class MetaballTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        writeSolidJpeg(textureDirectory() + MetaballObject::kGalaxyTexture, 0, 0, 200);
        writeSolidJpeg(textureDirectory() + MetaballObject::kMetalTexture, 0, 150, 0);
        object = std::make_unique<MetaballObject>(*images, textureDirectory().c_str());
    }
    void TearDown() override {
        object.reset();
        SceneTest::TearDown();
    }

    // The surface of the balls as the object places them at scene time s.
    int surfaceAt(float s) {
        object->update(s);
        object->computeField();
        return object->polygonise();
    }
    // The surface of a field the test writes point by point.
    int surfaceOf(const std::function<float(int i, int j, int k)>& value) {
        float* values = object->field().values();
        for (int i = 0; i < kGridSide; ++i)
            for (int j = 0; j < kGridSide; ++j)
                for (int k = 0; k < kGridSide; ++k) values[metaball::gridIndex(i, j, k)] = value(i, j, k);
        return object->polygonise();
    }

    std::unique_ptr<MetaballObject> object;
};

// The field of the balls at time 0, computed here in double precision from
// their documented places: three of strength 800 at their base positions, three
// of 400 at the origin.
double fieldAtTimeZero(double x, double y, double z) {
    const double balls[6][4] = {{6, 7, 8, 800}, {-5, -6, -9, 800}, {7, -3, 3, 800},
                                {0, 0, 0, 400}, {0, 0, 0, 400},    {0, 0, 0, 400}};
    double f = 0;
    for (const auto& b : balls) f += b[3] / std::max(0.05, std::hypot(x - b[0], y - b[1], z - b[2]));
    return f;
}

TEST_F(MetaballTest, AtSceneTimeZeroTheVerticesLieOnTheLevel350) {
    const int count = surfaceAt(0);
    ASSERT_GT(count, 300);
    double worst = 0, total = 0;
    for (int v = 0; v < count; ++v) {
        const Vec3& p = object->vertices()[v];
        // Drawn z is the negated grid index i; the field was sampled at i - 19.
        const double error = std::fabs(fieldAtTimeZero(p.x, p.y, -p.z - 19) - 350);
        worst = std::max(worst, error);
        total += error;
    }
    // Linear interpolation of a 1/r field over unit cube edges is off by a
    // few units where the surface bends most.
    EXPECT_LT(worst, 10.0);
    EXPECT_LT(total / count, 1.5);
    // Balls 3 to 5 at the origin, the others where they start.
    EXPECT_EQ(object->balls()[3].x, 0.0f);
    EXPECT_EQ(object->balls()[5].z, 0.0f);
    EXPECT_EQ(object->balls()[1].y, -6.0f);
}

// Turns (x, y, z) about one axis by degrees, as a row vector: about x,
// y' = y cos a - z sin a, z' = y sin a + z cos a; likewise about y and z.
void turn(double (&v)[3], int axis, double degrees) {
    const double a = degrees * 3.1415927 / 180, c = std::cos(a), s = std::sin(a);
    const int p = axis == 0 ? 1 : (axis == 1 ? 2 : 0), q = axis == 0 ? 2 : (axis == 1 ? 0 : 1);
    const double vp = v[p], vq = v[q];
    v[p] = vp * c - vq * s;
    v[q] = vp * s + vq * c;
}

TEST_F(MetaballTest, BallsTurnAboutXThenYThenZByAnglesGrowingWithTheSceneTime) {
    const float s = 123;
    object->update(s);
    object->placeBalls();
    const double u = s / 5;
    const double base[3][3] = {{6, 7, 8}, {-5, -6, -9}, {7, -3, 3}};
    const double factors[3][3] = {{0, 1.5, 1.5}, {1, 1.5, 0}, {1.5, -1, 0}};
    for (int b = 0; b < 3; ++b) {
        double v[3] = {base[b][0], base[b][1], base[b][2]};
        turn(v, 0, factors[b][0] * 2.5 * u);
        turn(v, 1, factors[b][1] * 2.0 * u);
        turn(v, 2, factors[b][2] * 3.0 * u);
        EXPECT_NEAR(object->balls()[b].x, v[0], 1e-4) << b;
        EXPECT_NEAR(object->balls()[b].y, v[1], 1e-4) << b;
        EXPECT_NEAR(object->balls()[b].z, v[2], 1e-4) << b;
    }
    // Ball 3 swings along x and turns about x only.
    EXPECT_NEAR(object->balls()[3].x, 10 * std::sin(u / 2.5), 1e-4);
    EXPECT_EQ(object->balls()[3].strength, 400.0f);
}

TEST_F(MetaballTest, OneBallAloneGivesAClosedSurface) {
    metaball::Ball balls[metaball::kBallCount];
    balls[0] = {0.3f, -0.2f, 0.1f, 800};
    object->field().compute(balls);
    const int count = object->polygonise();
    ASSERT_GT(count, 100);
    // Vertices on a cube edge are computed from the same two corners by every
    // cube that shares the edge, so equal points have equal bits.
    auto key = [](const Vec3& p) { return std::array<float, 3>{p.x, p.y, p.z}; };
    std::map<std::pair<std::array<float, 3>, std::array<float, 3>>, int> sides;
    for (int t = 0; t < count; t += 3)
        for (int v = 0; v < 3; ++v) {
            auto a = key(object->vertices()[t + v]), b = key(object->vertices()[t + (v + 1) % 3]);
            ++sides[std::minmax(a, b)];
        }
    for (const auto& [side, n] : sides) EXPECT_EQ(n, 2);
    // The normals point away from the ball.
    for (int v = 0; v < count; ++v) {
        const Vec3& p = object->vertices()[v];
        const Vec3& n = object->normals()[v];
        EXPECT_GT(n.x * (p.x - 0.3f) + n.y * (p.y + 0.2f) + n.z * (-p.z - 19 - 0.1f), 0) << v;
    }
}

TEST_F(MetaballTest, CubesAllInsideOrAllOutsideGiveNothingAndTheLevelItselfIsOutside) {
    EXPECT_EQ(surfaceOf([](int, int, int) { return 1000.0f; }), 0);  // index 255
    EXPECT_EQ(surfaceOf([](int, int, int) { return 0.0f; }), 0);
    EXPECT_EQ(surfaceOf([](int, int, int) { return 350.0f; }), 0);
    EXPECT_EQ(surfaceOf([](int i, int j, int k) { return i == 10 && j == 10 && k == 10 ? 350.0f : 0.0f; }), 0);
    // Just above the level, one point gives a triangle in each of its eight
    // cubes; one point below it in an inside grid gives the same.
    EXPECT_EQ(surfaceOf([](int i, int j, int k) { return i == 10 && j == 10 && k == 10 ? 350.01f : 0.0f; }), 24);
    EXPECT_EQ(surfaceOf([](int i, int j, int k) { return i == 10 && j == 10 && k == 10 ? 0.0f : 1000.0f; }), 24);
}

TEST(MetaballInterpolation, CornersWithinATolerance) {
    const Vec3 a(0, 0, 0), b(1, 0, 0);
    EXPECT_EQ(metaball::interpolatePosition(a, b, 300, 400).x, 0.5f);
    EXPECT_EQ(metaball::interpolatePosition(a, b, 350.0005f, 400).x, 0.0f);
    EXPECT_EQ(metaball::interpolatePosition(a, b, 300, 349.9995f).x, 1.0f);
    // Corner values closer than 0.001: the first corner.
    EXPECT_EQ(metaball::interpolatePosition(a, b, 351, 351.0005f).x, 0.0f);
    // Normals blend by at most the whole edge.
    EXPECT_EQ(metaball::interpolateNormal(a, b, 300, 200).x, 0.0f);
}

// Every other grid point inside: every cube has the most triangles a cube
// can have, far more than the lists hold. Runs under AddressSanitizer.
TEST_F(MetaballTest, AGridFullOfSurfaceStopsAtTheEndOfTheLists) {
    const int count = surfaceOf([](int i, int j, int k) { return (i + j + k) % 2 ? 1000.0f : 0.0f; });
    EXPECT_EQ(count, MetaballObject::kVertexCapacity / 3 * 3);
    EXPECT_EQ(object->vertices().size(), std::size_t(MetaballObject::kVertexCapacity));
    EXPECT_EQ(object->normals().size(), std::size_t(MetaballObject::kVertexCapacity));
    // The last triangle written is whole.
    const Vec3& last = object->vertices()[count - 1];
    EXPECT_TRUE(std::isfinite(last.x) && std::isfinite(last.y) && std::isfinite(last.z));
}

TEST_F(MetaballTest, TheFastFieldGivesTheSameSurfaceAsThePointByPointField) {
    for (const float s : {0.0f, 37.5f, 1000.0f, 4321.0f, 24000.0f}) {
        SCOPED_TRACE(s);
        const int count = surfaceAt(s);
        const std::vector<Vec3> vertices(object->vertices().begin(), object->vertices().begin() + count);
        const std::vector<Vec3> normals(object->normals().begin(), object->normals().begin() + count);
        object->field().computeEverywhere(object->balls());
        ASSERT_EQ(object->polygonise(), count);
        EXPECT_EQ(std::memcmp(vertices.data(), object->vertices().data(), count * sizeof(Vec3)), 0);
        EXPECT_EQ(std::memcmp(normals.data(), object->normals().data(), count * sizeof(Vec3)), 0);
    }
}

TEST_F(MetaballTest, AMissingTextureEndsNamingIt) {
    ScopedSceneErrorCapture capture;
    ImageLibrary empty;  // the fixture's cache already holds both names
    try {
        MetaballObject other(empty, (dir.path().string() + "/nowhere/").c_str());
        FAIL() << "no error";
    } catch (const SceneErrorRaised& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere/blank metall.jpg"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vantor::test
