#include "tools/meshcaster/import/import_animation.h"

#include "tools/meshcaster/import/import_report.h"
#include "tools/meshcaster/import/import_transform.h"

#include <algorithm>
#include <cmath>

namespace meshimport {
namespace {

constexpr int kFirstFrame = 0;
constexpr int kLastKeyFrame = 32766;  // one frame left for the guard key
// Guard keys sit at the ends of the frame range, so that no step of the
// scene time can jump over the held stretch they make (a track holds what it
// gave last once the time is past its last key).
constexpr int kLeadGuardFrame = -32768;
constexpr int kTailGuardFrame = 32767;
constexpr std::size_t kMaximumKeys = 32000;

// Index of the last key at or before `ticks` (0 when before the first).
template <typename Key>
std::size_t keyBefore(const Key* keys, unsigned count, double ticks) {
    const Key* end = keys + count;
    const Key* after = std::upper_bound(keys, end, ticks, [](double t, const Key& k) { return t < k.mTime; });
    return after == keys ? 0 : std::size_t(after - keys - 1);
}

template <typename Key>
double blend(const Key* keys, unsigned count, double ticks, std::size_t& i) {
    i = keyBefore(keys, count, ticks);
    if (i + 1 >= count) return 0;
    const double span = keys[i + 1].mTime - keys[i].mTime;
    return span > 0 ? std::clamp((ticks - keys[i].mTime) / span, 0.0, 1.0) : 0.0;
}

aiVector3D vectorAt(const aiVectorKey* keys, unsigned count, double ticks) {
    std::size_t i = 0;
    const float u = float(blend(keys, count, ticks, i));
    if (i + 1 >= count || ticks <= keys[0].mTime) return keys[i].mValue;
    return keys[i].mValue * (1 - u) + keys[i + 1].mValue * u;
}

aiQuaternion rotationAt(const aiQuatKey* keys, unsigned count, double ticks) {
    std::size_t i = 0;
    const float u = float(blend(keys, count, ticks, i));
    if (i + 1 >= count || ticks <= keys[0].mTime) return keys[i].mValue;
    aiQuaternion out;
    aiQuaternion::Interpolate(out, keys[i].mValue, keys[i + 1].mValue, u);
    return out.Normalize();
}

// Frames of the keys, when they are distinct, in order and in range.
template <typename Key>
bool keyFrames(const Key* keys, unsigned count, double framesPerTick, std::vector<int>& frames) {
    if (count == 0 || count > kMaximumKeys) return false;
    frames.clear();
    for (unsigned i = 0; i < count; ++i) {
        const double f = std::round(keys[i].mTime * framesPerTick);
        if (!(f >= kFirstFrame && f <= kLastKeyFrame)) return false;
        if (!frames.empty() && int(f) <= frames.back()) return false;
        frames.push_back(int(f));
    }
    return true;
}

bool scaleChanges(const aiNodeAnim& channel) {
    for (unsigned i = 1; i < channel.mNumScalingKeys; ++i) {
        const aiVector3D d = channel.mScalingKeys[i].mValue - channel.mScalingKeys[0].mValue;
        if (std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z) > 1e-4f) return true;
    }
    return false;
}

ppp::PositionKeyRecord linearKey(int frame, const aiVector3D& position, float tension) {
    ppp::PositionKeyRecord k;
    k.frame = frame;
    k.position = toVec3(position);
    k.tension = tension;
    k.continuity = -1;
    return k;
}

}  // namespace

aiMatrix4x4 channelTransform(const aiNodeAnim& channel, double ticks, const aiMatrix4x4& rest) {
    aiVector3D scale, position;
    aiQuaternion rotation;
    rest.Decompose(scale, rotation, position);
    if (channel.mNumPositionKeys && channel.mPositionKeys)
        position = vectorAt(channel.mPositionKeys, channel.mNumPositionKeys, ticks);
    if (channel.mNumRotationKeys && channel.mRotationKeys)
        rotation = rotationAt(channel.mRotationKeys, channel.mNumRotationKeys, ticks);
    if (channel.mNumScalingKeys && channel.mScalingKeys)
        scale = vectorAt(channel.mScalingKeys, channel.mNumScalingKeys, ticks);
    return aiMatrix4x4(scale, rotation, position);
}

std::size_t samplesPerTrack(std::size_t tracks) {
    return std::clamp(kMaximumSamplesInFile / std::max<std::size_t>(tracks, 1), std::size_t(2), kMaximumSamples);
}

std::int32_t sampleInterval(double durationFrames, int fps, std::size_t maximumSamples, std::size_t* count) {
    double interval = std::max(1.0, std::round(kFramesPerSecond / std::max(fps, 1)));
    const double span = std::clamp(durationFrames, 0.0, 1e9);
    while (span / interval + 2 > double(std::max<std::size_t>(maximumSamples, 2))) interval *= 2;
    *count = std::size_t(std::ceil(span / interval)) + 1;
    return std::int32_t(interval);
}

NodeTracks nodeTracks(const aiNodeAnim& channel, double ticksPerSecond, double durationTicks, int fps,
                      std::size_t maximumSamples, const aiMatrix4x4& rest, ImportReport& report) {
    if (scaleChanges(channel))
        report.warnOnce("scale-track", "scene files do not animate scale: objects keep their scale at the start");
    NodeTracks tracks;
    const double framesPerTick = kFramesPerSecond / ticksPerSecond;
    std::vector<int> positionFrames, rotationFrames;
    const bool hasPositions = channel.mNumPositionKeys > 0 && channel.mPositionKeys;
    const bool hasRotations = channel.mNumRotationKeys > 0 && channel.mRotationKeys;
    const bool keysFit =
        (!hasPositions || keyFrames(channel.mPositionKeys, channel.mNumPositionKeys, framesPerTick, positionFrames)) &&
        (!hasRotations || keyFrames(channel.mRotationKeys, channel.mNumRotationKeys, framesPerTick, rotationFrames));
    for (unsigned i = 0; hasPositions && i < channel.mNumPositionKeys; ++i)
        if (!finite(channel.mPositionKeys[i].mValue) || !std::isfinite(channel.mPositionKeys[i].mTime))
            throw ImportRefused("an animation key is not a finite number");
    for (unsigned i = 0; hasRotations && i < channel.mNumRotationKeys; ++i) {
        const aiQuaternion& q = channel.mRotationKeys[i].mValue;
        if (!std::isfinite(q.x + q.y + q.z + q.w) || !std::isfinite(channel.mRotationKeys[i].mTime))
            throw ImportRefused("an animation key is not a finite number");
    }

    if (keysFit) {
        if (hasPositions) {
            const unsigned n = channel.mNumPositionKeys;
            const aiVectorKey* keys = channel.mPositionKeys;
            if (n == 1) {
                tracks.positions.push_back(linearKey(positionFrames[0], keys[0].mValue, 0));
            } else {
                tracks.positions.push_back(linearKey(kLeadGuardFrame, keys[0].mValue, 1));
                for (unsigned i = 0; i < n; ++i)
                    tracks.positions.push_back(linearKey(positionFrames[i], keys[i].mValue, 0));
                tracks.positions.push_back(linearKey(kTailGuardFrame, keys[n - 1].mValue, 1));
            }
        }
        if (hasRotations) {
            const unsigned n = channel.mNumRotationKeys;
            for (unsigned i = 0; i < n; ++i)
                tracks.rotations.push_back({rotationFrames[i], fileRotation(channel.mRotationKeys[i].mValue)});
            // Past the last key the track holds what it gave last: a copy at
            // the end of the range makes that the last key itself.
            if (n > 1) tracks.rotations.push_back({kTailGuardFrame, tracks.rotations.back().orientation});
        }
        return tracks;
    }

    tracks.sampled = true;
    std::size_t count = 0;
    tracks.interval = sampleInterval(durationTicks * framesPerTick, fps, maximumSamples, &count);
    for (std::size_t i = 0; i < count; ++i) {
        const double ticks = std::min(double(i) * tracks.interval / framesPerTick, durationTicks);
        const FilePose pose = filePose(channelTransform(channel, ticks, rest));
        tracks.samples.push_back({pose.position, pose.rotation});
    }
    return tracks;
}

}  // namespace meshimport
