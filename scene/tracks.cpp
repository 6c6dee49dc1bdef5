#include "scene/tracks.h"

#include <algorithm>
#include <cmath>
#include <utility>

float ease(float u, float a, float b) {
    const float s = a + b;
    if (s == 0) return u;
    if (s > 1) {
        a = a / s;
        b = b / s;
    }
    const float k = 1 / (2 - a - b);
    if (u < a) return (k / a) * u * u;
    if (u < 1 - b) return k * (2 * u - a);
    const float v = 1 - u;
    return 1 - (k / b) * v * v;
}

void AnimationTracks::setPositionKeys(std::uint32_t count, std::vector<PositionKey> keys) {
    positionKeys_ = std::move(keys);
    positionKeyCount_ = static_cast<std::int16_t>(count & 0xFFFFu);
    // Never claim more keys than were handed over.
    if (positionKeyCount_ > 0 && std::size_t(positionKeyCount_) > positionKeys_.size())
        positionKeyCount_ = static_cast<std::int16_t>(positionKeys_.size());
    kind_ = KeyFramed;
}

void AnimationTracks::setRotationKeys(std::uint32_t count, std::vector<RotationKey> keys) {
    rotationKeys_ = std::move(keys);
    rotationKeyCount_ = static_cast<std::int16_t>(count & 0xFFFFu);
    if (rotationKeyCount_ > 0 && std::size_t(rotationKeyCount_) > rotationKeys_.size())
        rotationKeyCount_ = static_cast<std::int16_t>(rotationKeys_.size());
    kind_ = KeyFramed;
}

void AnimationTracks::setSampledPositions(std::uint32_t count, std::vector<Vec3> positions) {
    sampledPositions_ = std::move(positions);
    sampleCount_ = count;
    kind_ = Sampled;
}

void AnimationTracks::setSampledRotations(std::uint32_t count, std::vector<Quaternion> rotations) {
    sampledRotations_ = std::move(rotations);
    sampleCount_ = count;
    kind_ = Sampled;
}

namespace {

// The tangent at an end of a track, pointing inwards: key `end` with its
// neighbours `near` (one key inside) and `far` (two keys inside). For two keys
// both neighbours are the other key and the result is (1 - T) (P_other - P_end).
Vec3 endTangent(const PositionKey& end, const PositionKey& near, const PositionKey& far) {
    const Vec3 d = far.position - end.position;
    const float ratio = float(near.frame - end.frame) / (2.0f * float(far.frame - end.frame));
    const Vec3 half = d * 0.5f;
    const Vec3 tangent = half + d * (0.25f - ratio) + ((near.position - end.position) - half) * 1.5f;
    return tangent * (1 - end.tension);
}

}  // namespace

void AnimationTracks::computeTangents() {
    const int n = positionKeyCount_;
    if (n < 2) return;
    std::vector<PositionKey>& k = positionKeys_;

    for (int i = 1; i <= n - 2; ++i) {
        const PositionKey& p = k[i - 1];
        PositionKey& key = k[i];
        const PositionKey& q = k[i + 1];
        const float dt = 0.5f * float(q.frame - p.frame);
        float fp = float(key.frame - p.frame) / dt;
        float fn = float(q.frame - key.frame) / dt;
        const float c = std::fabs(key.continuity);
        fp = fp + c - c * fp;
        fn = fn + c - c * fn;
        const float tm = 0.5f * (1 - key.tension);
        const float cm = 1 - key.continuity;
        const float cp = 2 - cm;
        const float bm = 1 - key.bias;
        const float bp = 2 - bm;
        const float ksm = tm * cm * bp * fp;
        const float ksp = tm * cp * bm * fp;
        const float kdm = tm * cp * bp * fn;
        const float kdp = tm * cm * bm * fn;
        const Vec3 before = key.position - p.position;
        const Vec3 after = q.position - key.position;
        key.inTangent = before * ksm + after * ksp;
        key.outTangent = before * kdm + after * kdp;
    }

    // First key, seen from keys 1 and 2 (key 1 twice for a two-key track).
    k[0].outTangent = endTangent(k[0], k[1], k[n == 2 ? 1 : 2]);
    // Last key, seen from keys n-2 and n-3 (key 0 twice for a two-key track).
    // Seen from the other end the differences change sign, hence the minus.
    const int last = n - 1;
    k[last].inTangent = endTangent(k[last], k[n - 2], k[n == 2 ? 0 : n - 3]) * -1.0f;
}

void AnimationTracks::evaluate(float t, Vec3& position, Matrix4& rotation) const {
    if (kind_ == KeyFramed)
        evaluateKeyFramed(t, position, rotation);
    else if (kind_ == Sampled)
        evaluateSampled(t, position, rotation);
}

void AnimationTracks::evaluateKeyFramed(float t, Vec3& position, Matrix4& rotation) const {
    const int np = positionKeyCount_;
    for (int i = 0; i + 1 < np; ++i) {
        const PositionKey& a = positionKeys_[i];
        const PositionKey& b = positionKeys_[i + 1];
        if (!(a.frame <= t && t < b.frame)) continue;
        float u = (t - a.frame) / float(b.frame - a.frame);
        u = ease(u, a.easeFrom, b.easeTo);
        const float u2 = u * u, u3 = u2 * u;
        const float h1 = 2 * u3 - 3 * u2 + 1;
        const float h2 = -2 * u3 + 3 * u2;
        const float h3 = u3 - 2 * u2 + u;
        const float h4 = u3 - u2;
        position = a.position * h1 + b.position * h2 + a.outTangent * h3 + b.inTangent * h4;
    }
    if (np == 1) position = positionKeys_[0].position;

    const int nr = rotationKeyCount_;
    for (int i = 0; i + 1 < nr; ++i) {
        const RotationKey& a = rotationKeys_[i];
        const RotationKey& b = rotationKeys_[i + 1];
        if (!(a.frame <= t && t < b.frame)) continue;
        const float u = (t - a.frame) / float(b.frame - a.frame);
        rotation = slerp(a.orientation, b.orientation, u, 0).toMatrix();
    }
    if (nr == 1) rotation = rotationKeys_[0].orientation.toMatrix();
}

void AnimationTracks::evaluateSampled(float t, Vec3& position, Matrix4& rotation) const {
    // Only as many samples as both arrays really hold take part.
    const std::size_t available =
        std::min<std::size_t>({std::size_t(sampleCount_), sampledPositions_.size(), sampledRotations_.size()});
    if (available == 0 || std::isnan(t)) return;
    const long long n = static_cast<long long>(available);
    const long long interval = sampleInterval_;

    // A track without a usable interval, or a time before its start, shows its
    // first sample; the sample index is never negative.
    long long k;
    if (interval <= 0 || t < 0) {
        k = 0;
    } else if (t >= 2147483648.0f) {
        k = n - 1;
    } else {
        k = static_cast<long long>(t) / interval;
    }
    if (k >= n) k = n - 1;
    if (k == n - 1 || interval <= 0 || t < 0) {
        position = sampledPositions_[k];
        rotation = sampledRotations_[k].toMatrix();
        return;
    }
    const float u = (t - float(k * interval)) / float(interval);
    rotation = slerp(sampledRotations_[k], sampledRotations_[k + 1], u, 0).toMatrix();
    position = Vec3::lerp(sampledPositions_[k], sampledPositions_[k + 1], u);
}
