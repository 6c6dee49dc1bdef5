// The modelling kit: shapes face outward and enclose the volume they should,
// outlines with holes triangulate to the right area, the orientation written
// to a file is the one the renderer shows, and the builder refuses scenes the
// demo would load wrongly or not at all.
#include "content/scenes/kit/glyphs.h"
#include "content/scenes/kit/mapping.h"
#include "content/scenes/kit/primitives.h"
#include "content/scenes/kit/rotation.h"
#include "content/scenes/kit/scene_builder.h"
#include "content/scenes/kit/tessellate.h"
#include "content/common/demo_look.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using namespace scenekit;
constexpr float kPi = 3.14159265f;

// Signed volume by the divergence theorem: positive when every triangle faces
// out of a closed surface, the enclosed volume when it is closed.
float volume(const Mesh& m) {
    double sum = 0;
    for (const Triangle& t : m.triangles) {
        const Vec3& a = m.positions[t.v[0]];
        const Vec3& b = m.positions[t.v[1]];
        const Vec3& c = m.positions[t.v[2]];
        sum += Vec3::dot(a, Vec3::cross(b, c));
    }
    return float(sum / 6);
}

TEST(SceneKitShapes, ClosedShapesFaceOutAndEncloseTheirVolume) {
    EXPECT_NEAR(volume(box({2, 3, 4})), 24, 1e-3);
    // Cutting the edges takes about a triangular prism of 0.2 x 0.2 / 2 along each.
    EXPECT_NEAR(volume(bevelledBox({2, 3, 4}, 0.2f)), 24 - 0.02f * 4 * (2 + 3 + 4), 0.1);
    EXPECT_NEAR(volume(cylinder(2, 5, 64)), kPi * 4 * 5, 0.01 * kPi * 20);
    EXPECT_NEAR(volume(cone(2, 6, 64)), kPi * 4 * 6 / 3, 0.01 * kPi * 8);
    EXPECT_NEAR(volume(sphere(3, 48, 64)), 4 * kPi * 27 / 3, 0.01 * 4 * kPi * 9);
    EXPECT_NEAR(volume(torus(5, 1, 64, 32)), 2 * kPi * kPi * 5, 0.01 * 2 * kPi * kPi * 5);
    // A square with a square hole, pushed 2 deep: walls of the hole face into it.
    const std::vector<std::vector<Vec2>> frame{{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{1, 1}, {3, 1}, {3, 3}, {1, 3}}};
    EXPECT_NEAR(volume(extrude(frame, 2, 1)), 12 * 2, 1e-3);
    // The hole given the other way round changes nothing.
    const std::vector<std::vector<Vec2>> reversed{{{0, 0}, {0, 4}, {4, 4}, {4, 0}}, {{1, 1}, {1, 3}, {3, 3}, {3, 1}}};
    EXPECT_NEAR(volume(extrude(reversed, 2, 1)), 12 * 2, 1e-3);
    // Turned inside out (a corridor), the volume counts negative.
    Mesh inside = box({1, 1, 1});
    inside.flip();
    EXPECT_NEAR(volume(inside), -1, 1e-4);
    // A mirroring transform keeps the faces outward.
    Mesh mirrored = sphere(1, 12, 16);
    mirrored.transform(Affine::scaling({-1, 1, 1}));
    EXPECT_GT(volume(mirrored), 0);
}

TEST(SceneKitShapes, TessellationFillsOutlinesWithHoles) {
    const FlatTriangles flat = tessellate({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{1, 1}, {3, 1}, {3, 3}, {1, 3}}});
    float area = 0;
    for (const auto& t : flat.triangles) {
        const float a = signedArea2({flat.points[t[0]], flat.points[t[1]], flat.points[t[2]]});
        EXPECT_GT(a, 0) << "every triangle counter-clockwise";
        area += a / 2;
    }
    EXPECT_NEAR(area, 12, 1e-4);
}

TEST(SceneKitShapes, GlyphsComeFromTheFontWithTheirHoles) {
    const auto glyphs = glyphOutlines(vantor::look::kFontBold, "VAO", 20);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].contours.size(), 1u);  // V
    EXPECT_EQ(glyphs[1].contours.size(), 2u);  // A with its counter
    EXPECT_EQ(glyphs[2].contours.size(), 2u);  // O
    float top = -1e9f, bottom = 1e9f;
    for (const auto& c : glyphs[0].contours)
        for (const Vec2& p : c) top = std::max(top, p.v), bottom = std::min(bottom, p.v);
    EXPECT_NEAR(top, 20, 0.05) << "capital height";
    EXPECT_NEAR(bottom, 0, 0.05) << "on the baseline";
    for (const auto& g : glyphs) EXPECT_GT(g.advance, g.width * 0.9f);
    // A letter with a hole extrudes to a solid with the hole left open.
    const Mesh o = extrude(glyphs[2].contours, 4, 0.05f);
    const float outer = std::fabs(signedArea2(glyphs[2].contours[0])) / 2;
    const float inner = std::fabs(signedArea2(glyphs[2].contours[1])) / 2;
    EXPECT_NEAR(volume(o), (std::max(outer, inner) - std::min(outer, inner)) * 4, 0.5);
    EXPECT_THROW(glyphOutlines("/nonexistent/font.ttf", "V", 20), std::runtime_error);
}

TEST(SceneKitShapes, WrappedMappingsMendTheirSeam) {
    Mesh m = sphere(1, 8, 12);
    sphericalMap(m);
    for (const Triangle& t : m.triangles) {
        const float u0 = m.uvs[t.t[0]].u, u1 = m.uvs[t.t[1]].u, u2 = m.uvs[t.t[2]].u;
        EXPECT_LT(std::max({u0, u1, u2}) - std::min({u0, u1, u2}), 0.5f);
    }
}

// What the renderer does with a written orientation: the reader's matrix.
Vec3 shown(const Quaternion& orientation, const Vec3& v) { return toFile(orientation).toMatrix().rotate(v); }

TEST(SceneKitRotation, TheRendererTurnsTheWayTheKitSays) {
    const Vec3 x = shown(turn({0, 0, 1}, 90), {1, 0, 0});
    EXPECT_NEAR(x.x, 0, 1e-5);
    EXPECT_NEAR(x.y, 1, 1e-5);
    // Composition: first about x by 90 (y -> z), then about z by 90 (x -> y).
    const Vec3 y = shown(compose(turn({0, 0, 1}, 90), turn({1, 0, 0}, 90)), {0, 1, 0});
    EXPECT_NEAR(y.z, 1, 1e-5);
    const Vec3 r = rotate(turn({0, 1, 0}, 90), {0, 0, 1});
    EXPECT_NEAR(r.x, 1, 1e-5);
    // lookRotation points -z along the direction.
    const Vec3 ahead = rotate(lookRotation({1, 0, 0}, {0, 1, 0}), {0, 0, -1});
    EXPECT_NEAR(ahead.x, 1, 1e-5);
    // A spin track's neighbouring keys stay within 90 degrees and end where asked.
    const auto keys = spinKeys(0, 1000, {0, 1, 0}, 0.7f);
    EXPECT_EQ(keys.back().frame, 1000);
    for (std::size_t i = 1; i < keys.size(); ++i) {
        const Quaternion& a = keys[i - 1].orientation;
        const Quaternion& b = keys[i].orientation;
        EXPECT_GE(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w, std::cos(45.0f * kPi / 180) - 1e-4f);
    }
    const Vec3 end = rotate(keys.back().orientation, {0, 0, 1});
    EXPECT_NEAR(end.x, std::sin(700.0f * kPi / 180), 1e-3);
}

// A scene that passes every check: a mesh, two cameras, a light.
void minimal(SceneBuilder& b) {
    b.material(1, {});
    Mesh cube = box({1, 1, 1});
    cube.setMaterial(1);
    b.mesh(5, 0, "cube", cube);
    b.camera(7, {0, 0, 5}, 5);
    b.camera(8, {0, 5, 5}, 5);
    b.light(9, {1, 1, 1}, {1, 1, 1});
}

TEST(SceneKitBuilder, RefusesWhatTheDemoWouldLoadWrong) {
    {
        SceneBuilder b("ok");
        minimal(b);
        b.positionKeys(5, {{0, {0, 0, 0}}, {32767, {1, 0, 0}}});
        EXPECT_NO_THROW(b.finish());
        EXPECT_EQ(b.triangleCount(), 12u);
    }
    const std::vector<std::pair<const char*, std::function<void(SceneBuilder&)>>> bad = {
        {"id used twice",
         [](SceneBuilder& b) {
             b.light(5, {}, {1, 1, 1});
         }},
        {"id 0", [](SceneBuilder& b) { b.dummy(0, 0); }},
        {"parent later", [](SceneBuilder& b) { b.dummy(20, 21); }},
        {"owner missing",
         [](SceneBuilder& b) {
             b.positionKeys(99, {{0, {}}});
         }},
        {"frame wraps",
         [](SceneBuilder& b) {
             b.positionKeys(5, {{0, {}}, {32768, {}}});
         }},
        {"frames repeat",
         [](SceneBuilder& b) {
             b.rotationKeys(5, {{10, {0, 0, 0, 1}}, {10, {0, 0, 0, 1}}});
         }},
        {"half a turn",
         [](SceneBuilder& b) {
             b.rotationKeys(5, {{0, {0, 0, 0, 1}}, {10, turn({0, 1, 0}, 178)}});
         }},
        {"no material",
         [](SceneBuilder& b) {
             Mesh m = box({1, 1, 1});
             m.setMaterial(4);
             b.mesh(30, 0, "x", m);
         }},
        {"flat triangle",
         [](SceneBuilder& b) {
             Mesh m;
             m.addPosition({0, 0, 0}), m.addPosition({1, 0, 0}), m.addPosition({2, 0, 0});
             m.addTriangle(0, 1, 2, 0, 0, 0);
             m.setMaterial(1);
             b.mesh(31, 0, "flat", m);
         }},
        {"camera looks at nothing", [](SceneBuilder& b) { b.camera(32, {}, 77); }},
    };
    for (const auto& [what, spoil] : bad) {
        SceneBuilder b("bad");
        minimal(b);
        EXPECT_THROW(
            {
                spoil(b);
                b.finish();
            },
            std::invalid_argument)
            << what;
    }
    SceneBuilder lonely("one camera");
    lonely.material(1, {});
    lonely.camera(7, {0, 0, 5}, 7);
    lonely.light(9, {}, {1, 1, 1});
    EXPECT_THROW(lonely.finish(), std::invalid_argument);
}

}  // namespace
