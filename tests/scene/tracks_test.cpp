// Key-framed and sampled tracks against evaluations written here.
#include "scene/object_kinds.h"
#include "scene/tracks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

PositionKey key(int frame, Vec3 p, float easeTo = 0, float easeFrom = 0) {
    PositionKey k;
    k.frame = static_cast<std::int16_t>(frame);
    k.position = p;
    k.easeTo = easeTo;
    k.easeFrom = easeFrom;
    return k;
}

Vec3 hermite(const Vec3& p0, const Vec3& p1, const Vec3& m0, const Vec3& m1, float u) {
    const float h00 = 2 * u * u * u - 3 * u * u + 1, h10 = u * u * u - 2 * u * u + u;
    const float h01 = -2 * u * u * u + 3 * u * u, h11 = u * u * u - u * u;
    return p0 * h00 + m0 * h10 + p1 * h01 + m1 * h11;
}

// Catmull-Rom through three equally spaced keys, with natural ends: the end
// tangent is (3 (neighbour - end) - neighbour's tangent) / 2, pointing along
// the curve.
Vec3 catmullRom(const Vec3 p[3], float t, float spacing) {
    const Vec3 m1 = (p[2] - p[0]) * 0.5f;
    const Vec3 m0 = ((p[1] - p[0]) * 3.0f - m1) * 0.5f;
    const Vec3 m2 = ((p[2] - p[1]) * 3.0f - m1) * 0.5f;
    if (t < spacing) return hermite(p[0], p[1], m0, m1, t / spacing);
    return hermite(p[1], p[2], m1, m2, (t - spacing) / spacing);
}

void expectNear(const Vec3& a, const Vec3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

Vec3 positionAt(const AnimationTracks& tracks, float t, Vec3 start = Vec3(-99, -99, -99)) {
    Matrix4 rotation;
    tracks.evaluate(t, start, rotation);
    return start;
}

TEST(PositionTrackTest, ZeroTensionContinuityBiasIsCatmullRom) {
    const Vec3 p[3] = {{0, 0, 0}, {10, 5, 0}, {20, -5, 3}};
    AnimationTracks tracks;
    tracks.setPositionKeys(3, {key(0, p[0]), key(10, p[1]), key(20, p[2])});
    tracks.computeTangents();
    for (float t : {0.0f, 1.0f, 2.5f, 5.0f, 9.9f, 10.0f, 13.0f, 17.5f, 19.9f})
        expectNear(positionAt(tracks, t), catmullRom(p, t, 10), 1e-3f);
}

TEST(PositionTrackTest, TimesOutsideTheKeysLeaveThePositionAlone) {
    AnimationTracks tracks;
    tracks.setPositionKeys(2, {key(5, {1, 1, 1}), key(15, {3, 3, 3})});
    tracks.computeTangents();
    expectNear(positionAt(tracks, 4.9f), {-99, -99, -99});
    expectNear(positionAt(tracks, 15.0f), {-99, -99, -99});  // the last key's frame
    expectNear(positionAt(tracks, 5.0f), {1, 1, 1});         // a key's frame: u = 0
}

TEST(PositionTrackTest, OneKeyHoldsItsPositionAtEveryTime) {
    AnimationTracks tracks;
    tracks.setPositionKeys(1, {key(50, {4, 5, 6})});
    tracks.computeTangents();
    for (float t : {-100.0f, 0.0f, 50.0f, 1e6f}) expectNear(positionAt(tracks, t), {4, 5, 6});
}

TEST(PositionTrackTest, EaseShapesTheSegmentParameter) {
    // Two keys give straight tangents, so the position moves by the eased parameter.
    auto eased = [](float easeFrom, float easeTo, float t) {
        AnimationTracks tracks;
        tracks.setPositionKeys(2, {key(0, {0, 0, 0}, 0, easeFrom), key(10, {10, 0, 0}, easeTo, 0)});
        tracks.computeTangents();
        return positionAt(tracks, t).x / 10;
    };
    // easeFrom + easeTo = 0: linear.
    EXPECT_NEAR(eased(0, 0, 2.5f), 0.25f, 1e-5);
    EXPECT_NEAR(eased(0, 0, 7.0f), 0.7f, 1e-5);
    // Sum 2: both scaled to 0.5, a parabola in and a parabola out.
    EXPECT_NEAR(eased(1, 1, 2.5f), 2 * 0.25f * 0.25f, 1e-5);
    EXPECT_NEAR(eased(1, 1, 7.5f), 1 - 2 * 0.25f * 0.25f, 1e-5);
    EXPECT_NEAR(eased(1, 1, 5.0f), 0.5f, 1e-5);

    // ease itself, sum below 1: quadratic, linear, quadratic pieces meeting continuously.
    const float a = 0.2f, b = 0.3f, k = 1 / (2 - a - b);
    EXPECT_NEAR(ease(0.1f, a, b), k / a * 0.01f, 1e-6);
    EXPECT_NEAR(ease(0.5f, a, b), k * (1.0f - a), 1e-6);
    EXPECT_NEAR(ease(0.9f, a, b), 1 - k / b * 0.01f, 1e-6);
    EXPECT_NEAR(ease(a - 1e-4f, a, b), ease(a, a, b), 1e-3);
    EXPECT_EQ(ease(0.37f, 0, 0), 0.37f);
}

TEST(PositionTrackTest, TensionOneStopsAtEveryKey) {
    // Tension 1 zeroes every tangent: the curve is flat at the keys, so a
    // quarter of the way the position is the smoothstep of 0.25.
    std::vector<PositionKey> keys = {key(0, {0, 0, 0}), key(10, {10, 0, 0}), key(20, {0, 0, 0})};
    for (PositionKey& k : keys) k.tension = 1;
    AnimationTracks tracks;
    tracks.setPositionKeys(3, keys);
    tracks.computeTangents();
    const float u = 0.25f, smooth = 3 * u * u - 2 * u * u * u;
    EXPECT_NEAR(positionAt(tracks, 2.5f).x, 10 * smooth, 1e-4);
    EXPECT_NEAR(positionAt(tracks, 12.5f).x, 10 - 10 * smooth, 1e-4);
}

TEST(PositionTrackTest, ANegativeKeyCountNeverMovesTheObject) {
    // 40000 keys: the 16-bit count is negative.
    std::vector<PositionKey> keys(40000);
    for (int i = 0; i < 40000; ++i) keys[i] = key(i % 30000, {float(i), 0, 0});
    AnimationTracks tracks;
    tracks.setPositionKeys(40000, keys);
    tracks.computeTangents();
    EXPECT_LT(tracks.positionKeyCount(), 0);
    expectNear(positionAt(tracks, 10.5f), {-99, -99, -99});
}

TEST(RotationTrackTest, SlerpsBetweenAbsoluteOrientations) {
    const float s = std::sqrt(0.5f);
    AnimationTracks tracks;
    tracks.setRotationKeys(2, {RotationKey{0, Quaternion(0, 0, 0, 1)}, RotationKey{10, Quaternion(0, 0, s, s)}});
    Vec3 position;
    Matrix4 rotation;
    tracks.evaluate(5, position, rotation);
    const Matrix4 expected = Quaternion(0, 0, std::sin(float(M_PI) / 8), std::cos(float(M_PI) / 8)).toMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(rotation.m[i], expected.m[i], 1e-5) << i;

    Matrix4 untouched;
    untouched.m[0] = 7;
    tracks.evaluate(10, position, untouched);
    EXPECT_EQ(untouched.m[0], 7);  // at the last key nothing changes

    AnimationTracks single;
    single.setRotationKeys(1, {RotationKey{3, Quaternion(0, 0, s, s)}});
    single.evaluate(-50, position, untouched);
    EXPECT_NEAR(untouched.m[1], -1, 1e-6);
}

TEST(SampledTrackTest, InterpolatesAndHoldsTheEnds) {
    AnimationTracks tracks;
    const float s = std::sqrt(0.5f);
    tracks.setSampledPositions(3, {{0, 0, 0}, {10, 0, 0}, {10, 20, 0}});
    tracks.setSampledRotations(3, {Quaternion(0, 0, 0, 1), Quaternion(0, 0, 0, 1), Quaternion(0, 0, s, s)});
    tracks.setSampleInterval(10);
    EXPECT_EQ(tracks.controllerKind(), AnimationTracks::Sampled);

    expectNear(positionAt(tracks, 5), {5, 0, 0});
    expectNear(positionAt(tracks, 17.5f), {10, 15, 0});
    // Past the last sample: the last sample, whole.
    expectNear(positionAt(tracks, 20), {10, 20, 0});
    expectNear(positionAt(tracks, 1000), {10, 20, 0});
    Vec3 p;
    Matrix4 r;
    tracks.evaluate(35, p, r);
    EXPECT_NEAR(r.m[1], -1, 1e-6);
    // Before the first sample: the first sample.
    expectNear(positionAt(tracks, -5), {0, 0, 0});
}

TEST(SampledTrackTest, DegenerateTracksStayInsideTheirSamples) {
    AnimationTracks noInterval;
    noInterval.setSampledPositions(2, {{1, 2, 3}, {4, 5, 6}});
    noInterval.setSampledRotations(2, {Quaternion(0, 0, 0, 1), Quaternion(0, 0, 0, 1)});
    noInterval.setSampleInterval(0);
    expectNear(positionAt(noInterval, 15), {1, 2, 3});

    AnimationTracks empty;
    empty.setSampledPositions(0, {});
    empty.setSampledRotations(0, {});
    empty.setSampleInterval(10);
    expectNear(positionAt(empty, 5), {-99, -99, -99});

    // A count larger than the samples handed over uses only those.
    AnimationTracks shortTrack;
    shortTrack.setSampledPositions(100, {{1, 1, 1}, {2, 2, 2}});
    shortTrack.setSampledRotations(100, {Quaternion(0, 0, 0, 1), Quaternion(0, 0, 0, 1)});
    shortTrack.setSampleInterval(1);
    expectNear(positionAt(shortTrack, 50), {2, 2, 2});
}

TEST(TrackKindTest, TheLastSetterWinsAndUpdateMovesTheObject) {
    DummyObject object;
    object.setSampledPositions(1, {{1, 1, 1}});
    object.setSampledRotations(1, {Quaternion(0, 0, 0, 1)});
    object.setPositionKeys(1, {key(0, {7, 8, 9})});
    EXPECT_EQ(object.tracks().controllerKind(), AnimationTracks::KeyFramed);
    object.update(3);
    expectNear(object.position(), {7, 8, 9});

    DummyObject still;
    still.setPosition({1, 2, 3});
    still.update(100);
    expectNear(still.position(), {1, 2, 3});
}

}  // namespace
