#include "scene/metaball/metaball_field.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace metaball {
namespace {

constexpr float kMinimumDistance = 0.05f;
constexpr float kGradientScale = 10000.0f;

// One ball's share of a point's value and gradient. The fast paths below do
// the same operations in the same order, four points at a time.
inline void addBall(const Ball& b, float px, float py, float pz, float& value, Vec3& gradient) {
    const float dx = px - b.x, dy = py - b.y, dz = pz - b.z;
    const float d2 = dx * dx + dy * dy + dz * dz;
    float r = std::sqrt(d2);
    if (r < kMinimumDistance) r = kMinimumDistance;
    value += b.strength / r;
    if (d2 > 0) {
        const float c = kGradientScale * b.strength;
        gradient.x += c * dx / d2;
        gradient.y += c * dy / d2;
        gradient.z += c * dz / d2;
    }
}

// The field's value and gradient at grid point p (its index in the grid),
// summed ball by ball.
inline void sumAtPoint(const Ball (&balls)[kBallCount], int p, float& value, Vec3& gradient) {
    const float px = float(p % kGridSide - kGridCentre);
    const float py = float(p / kGridSide % kGridSide - kGridCentre);
    const float pz = float(p / (kGridSide * kGridSide) - kGridCentre);
    for (const Ball& b : balls) addBall(b, px, py, pz, value, gradient);
}

}  // namespace

MetaballField::MetaballField()
    : values_(kGridPoints), gradients_(kGridPoints), inside_(kGridPoints), far_(kBlocksI * kBlocksJ * kBlocksK) {
    needed_.reserve(kGridPoints);
}

void MetaballField::computeEverywhere(const Ball (&balls)[kBallCount]) {
    for (int i = 0; i < kGridSide; ++i)
        for (int j = 0; j < kGridSide; ++j)
            for (int k = 0; k < kGridSide; ++k) {
                float value = 0;
                Vec3 gradient;
                for (const Ball& b : balls)
                    addBall(b, float(k - kGridCentre), float(j - kGridCentre), float(i - kGridCentre), value, gradient);
                const int p = gridIndex(i, j, k);
                values_[p] = value;
                gradients_[p] = gradient;
            }
    needed_.clear();
}

void MetaballField::compute(const Ball (&balls)[kBallCount]) {
    computeValues(balls);
    findCrossingEnds();
    computeGradients(balls);
}

#if defined(__SSE2__)

void MetaballField::computeValues(const Ball (&balls)[kBallCount]) {
    findFarBlocks(balls);
    const __m128 minimum = _mm_set1_ps(kMinimumDistance);
    __m128 ballX[kBallCount], strength[kBallCount];
    for (int b = 0; b < kBallCount; ++b) {
        ballX[b] = _mm_set1_ps(balls[b].x);
        strength[b] = _mm_set1_ps(balls[b].strength);
    }
    for (int i = 0; i < kGridSide; ++i) {
        const float pz = float(i - kGridCentre);
        for (int j = 0; j < kGridSide; ++j) {
            const float py = float(j - kGridCentre);
            // The y and z parts of each distance are the same along a row.
            __m128 dy2[kBallCount], dz2[kBallCount];
            for (int b = 0; b < kBallCount; ++b) {
                const float dy = py - balls[b].y, dz = pz - balls[b].z;
                dy2[b] = _mm_set1_ps(dy * dy);
                dz2[b] = _mm_set1_ps(dz * dz);
            }
            float* row = &values_[gridIndex(i, j, 0)];
            const std::uint8_t* farBlocks = &far_[((i / kBlockI) * kBlocksJ + j / kBlockJ) * kBlocksK];
            for (int k = 0; k < kGridSide; k += 4) {
                if (farBlocks[k / kBlockK]) {
                    std::fill(row + k, row + std::min(k + 4, kGridSide), 0.0f);
                    continue;
                }
                const float x0 = float(k - kGridCentre);
                const __m128 px = _mm_setr_ps(x0, x0 + 1, x0 + 2, x0 + 3);
                __m128 value = _mm_setzero_ps();
                for (int b = 0; b < kBallCount; ++b) {
                    const __m128 dx = _mm_sub_ps(px, ballX[b]);
                    const __m128 d2 = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), dy2[b]), dz2[b]);
                    const __m128 r = _mm_max_ps(_mm_sqrt_ps(d2), minimum);
                    value = _mm_add_ps(value, _mm_div_ps(strength[b], r));
                }
                if (k + 4 <= kGridSide) {
                    _mm_storeu_ps(row + k, value);
                } else {
                    float lanes[4];
                    _mm_storeu_ps(lanes, value);
                    for (int n = 0; k + n < kGridSide; ++n) row[k + n] = lanes[n];
                }
            }
        }
    }
}

void MetaballField::computeGradients(const Ball (&balls)[kBallCount]) {
    const int count = int(needed_.size());
    const __m128 zero = _mm_setzero_ps();
    int n = 0;
    for (; n + 4 <= count; n += 4) {
        float xs[4], ys[4], zs[4];
        for (int lane = 0; lane < 4; ++lane) {
            const int p = needed_[n + lane];
            xs[lane] = float(p % kGridSide - kGridCentre);
            ys[lane] = float(p / kGridSide % kGridSide - kGridCentre);
            zs[lane] = float(p / (kGridSide * kGridSide) - kGridCentre);
        }
        const __m128 px = _mm_loadu_ps(xs), py = _mm_loadu_ps(ys), pz = _mm_loadu_ps(zs);
        __m128 gx = zero, gy = zero, gz = zero;
        for (const Ball& b : balls) {
            const __m128 dx = _mm_sub_ps(px, _mm_set1_ps(b.x));
            const __m128 dy = _mm_sub_ps(py, _mm_set1_ps(b.y));
            const __m128 dz = _mm_sub_ps(pz, _mm_set1_ps(b.z));
            const __m128 d2 = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
            const __m128 c = _mm_set1_ps(kGradientScale * b.strength);
            const __m128 apart = _mm_cmpgt_ps(d2, zero);
            gx = _mm_add_ps(gx, _mm_and_ps(apart, _mm_div_ps(_mm_mul_ps(c, dx), d2)));
            gy = _mm_add_ps(gy, _mm_and_ps(apart, _mm_div_ps(_mm_mul_ps(c, dy), d2)));
            gz = _mm_add_ps(gz, _mm_and_ps(apart, _mm_div_ps(_mm_mul_ps(c, dz), d2)));
        }
        float outX[4], outY[4], outZ[4];
        _mm_storeu_ps(outX, gx);
        _mm_storeu_ps(outY, gy);
        _mm_storeu_ps(outZ, gz);
        for (int lane = 0; lane < 4; ++lane) gradients_[needed_[n + lane]] = Vec3(outX[lane], outY[lane], outZ[lane]);
    }
    for (; n < count; ++n) {
        const int p = needed_[n];
        float value = 0;
        Vec3 gradient;
        sumAtPoint(balls, p, value, gradient);
        gradients_[p] = gradient;
    }
}

#else

void MetaballField::computeValues(const Ball (&balls)[kBallCount]) {
    for (int p = 0; p < kGridPoints; ++p) {
        float value = 0;
        Vec3 unused;
        sumAtPoint(balls, p, value, unused);
        values_[p] = value;
    }
}

void MetaballField::computeGradients(const Ball (&balls)[kBallCount]) {
    for (const int p : needed_) {
        float value = 0;
        Vec3 gradient;
        sumAtPoint(balls, p, value, gradient);
        gradients_[p] = gradient;
    }
}

#endif

// A block of points is far when even the nearest point of the block, grown
// by one point on every side, to every ball leaves the sum below the level:
// the block's points and all their neighbours are then outside, no crossing
// edge ends in the block, and the polygoniser reads nothing of its values but
// that they are outside. The bound is taken in double precision with a margin
// far above the rounding of the single-precision sum.
void MetaballField::findFarBlocks(const Ball (&balls)[kBallCount]) {
    constexpr double kMargin = 0.99;
    auto nearest = [](double centre, int first, int last) {
        const double lo = double(first - kGridCentre), hi = double(last - kGridCentre);
        return centre < lo ? lo - centre : (centre > hi ? centre - hi : 0.0);
    };
    for (int bi = 0; bi < kBlocksI; ++bi)
        for (int bj = 0; bj < kBlocksJ; ++bj)
            for (int bk = 0; bk < kBlocksK; ++bk) {
                double bound = 0;
                for (const Ball& b : balls) {
                    const double dz = nearest(b.z, bi * kBlockI - 1, (bi + 1) * kBlockI);
                    const double dy = nearest(b.y, bj * kBlockJ - 1, (bj + 1) * kBlockJ);
                    const double dx = nearest(b.x, bk * kBlockK - 1, (bk + 1) * kBlockK);
                    bound += b.strength / std::max(std::sqrt(dx * dx + dy * dy + dz * dz), double(kMinimumDistance));
                }
                far_[(bi * kBlocksJ + bj) * kBlocksK + bk] = bound < kIsoLevel * kMargin;
            }
}

// A point's gradient is read only when it ends a grid edge whose other end
// lies on the other side of the level. Rows are compared whole with their
// neighbour rows; a missing neighbour row (at the grid's side) is the row
// itself, which differs in nothing.
void MetaballField::findCrossingEnds() {
    for (int p = 0; p < kGridPoints; ++p) inside_[p] = values_[p] > kIsoLevel;
    needed_.clear();
    constexpr int kStepJ = kGridSide, kStepI = kGridSide * kGridSide;
    std::uint8_t differs[kGridSide];
    for (int i = 0; i < kGridSide; ++i)
        for (int j = 0; j < kGridSide; ++j) {
            const int first = gridIndex(i, j, 0);
            const std::uint8_t* __restrict row = &inside_[first];
            const std::uint8_t* __restrict below = j > 0 ? row - kStepJ : row;
            const std::uint8_t* __restrict above = j + 1 < kGridSide ? row + kStepJ : row;
            const std::uint8_t* __restrict before = i > 0 ? row - kStepI : row;
            const std::uint8_t* __restrict after = i + 1 < kGridSide ? row + kStepI : row;
            std::uint8_t any = 0;
            for (int k = 0; k < kGridSide; ++k) {
                const std::uint8_t here = row[k];
                differs[k] = (below[k] ^ here) | (above[k] ^ here) | (before[k] ^ here) | (after[k] ^ here);
                any |= differs[k];
            }
            for (int k = 0; k + 1 < kGridSide; ++k) {
                const std::uint8_t step = row[k] ^ row[k + 1];
                differs[k] |= step;
                differs[k + 1] |= step;
                any |= step;
            }
            if (!any) continue;
            for (int k = 0; k < kGridSide; ++k)
                if (differs[k]) needed_.push_back(first + k);
        }
}

}  // namespace metaball
