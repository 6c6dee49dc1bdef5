// Animation tracks of one scene object: key-framed position (TCB Hermite
// splines with ease) and rotation (slerp between absolute orientations), or
// sampled position + rotation at a fixed interval. Scale is never animated.
//
// Scene time is a float in the exporter's frame units. Key counts are signed
// 16-bit (the low 16 bits of the file's count): a track with a non-positive
// count never changes its object.
#pragma once

#include "scene/format/quaternion.h"
#include "scene/format/vector.h"

#include <cstdint>
#include <vector>

struct PositionKey {
    std::int16_t frame = 0;
    Vec3 position;
    Vec3 inTangent, outTangent;  // computed once the track is set
    float tension = 0, continuity = 0, bias = 0;
    float easeTo = 0, easeFrom = 0;
};

struct RotationKey {
    std::int16_t frame = 0;
    Quaternion orientation;  // absolute, not relative to the previous key
};

// Ease adjustment of a segment parameter u in [0, 1]; a = easeFrom of the
// segment's first key, b = easeTo of its second.
float ease(float u, float a, float b);

class AnimationTracks {
public:
    enum Kind { None = 0, KeyFramed = 1, Sampled = 2 };

    // The count is the file's 32-bit count; its low 16 bits become the key count.
    void setPositionKeys(std::uint32_t count, std::vector<PositionKey> keys);
    void setRotationKeys(std::uint32_t count, std::vector<RotationKey> keys);
    void setSampledPositions(std::uint32_t count, std::vector<Vec3> positions);
    void setSampledRotations(std::uint32_t count, std::vector<Quaternion> rotations);
    void setSampleInterval(std::int32_t interval) { sampleInterval_ = interval; }
    // Kochanek-Bartels tangents of the position keys.
    void computeTangents();

    // Writes the pose at scene time t into position and rotation, where a track
    // covers t; leaves them unchanged elsewhere.
    void evaluate(float t, Vec3& position, Matrix4& rotation) const;

    Kind controllerKind() const { return kind_; }
    std::int16_t positionKeyCount() const { return positionKeyCount_; }
    std::int16_t rotationKeyCount() const { return rotationKeyCount_; }
    const std::vector<PositionKey>& positionKeys() const { return positionKeys_; }
    const std::vector<RotationKey>& rotationKeys() const { return rotationKeys_; }
    std::uint32_t sampleCount() const { return sampleCount_; }
    std::int32_t sampleInterval() const { return sampleInterval_; }

private:
    void evaluateKeyFramed(float t, Vec3& position, Matrix4& rotation) const;
    void evaluateSampled(float t, Vec3& position, Matrix4& rotation) const;

    Kind kind_ = None;
    std::int16_t positionKeyCount_ = 0;
    std::int16_t rotationKeyCount_ = 0;
    std::vector<PositionKey> positionKeys_;
    std::vector<RotationKey> rotationKeys_;
    std::uint32_t sampleCount_ = 0;
    std::int32_t sampleInterval_ = 0;
    std::vector<Vec3> sampledPositions_;
    std::vector<Quaternion> sampledRotations_;
};
