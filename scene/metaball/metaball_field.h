// The metaball field: the summed potential of the balls sampled on a 38 x 38 x
// 38 grid, with an unnormalised gradient per grid point.
//
// Grid point (i, j, k), each 0 to 37, lies at (k - 19, j - 19, i - 19): i runs
// along z, j along y, k along x; arrays are indexed [i][j][k] with k fastest.
// Each ball adds strength / r to the value (r the distance, at least 0.05) and
// 10000 * strength * d / |d|^2 to the gradient (d from the ball to the point),
// all in single precision; a ball exactly on a grid point adds nothing to that
// point's gradient.
#pragma once

#include "scene/format/vector.h"

#include <cstdint>
#include <vector>

namespace metaball {

constexpr int kGridSide = 38;
constexpr int kGridPoints = kGridSide * kGridSide * kGridSide;
constexpr int kGridCentre = 19;
constexpr float kIsoLevel = 350.0f;
constexpr int kBallCount = 6;

struct Ball {
    float x = 0, y = 0, z = 0;
    float strength = 0;
};

inline int gridIndex(int i, int j, int k) { return (i * kGridSide + j) * kGridSide + k; }

class MetaballField {
public:
    MetaballField();

    // What the polygoniser reads, bit for bit as computeEverywhere gives it:
    // every value, except in blocks of points so far from every ball that
    // they and their neighbours are certainly below the level (those hold 0),
    // and
    // the gradient at both ends of every grid edge that crosses the level
    // (other gradients keep whatever they held).
    void compute(const Ball (&balls)[kBallCount]);
    // Every value and every gradient, point by point and ball by ball.
    void computeEverywhere(const Ball (&balls)[kBallCount]);

    float* values() { return values_.data(); }
    const float* values() const { return values_.data(); }
    Vec3* gradients() { return gradients_.data(); }
    const Vec3* gradients() const { return gradients_.data(); }

    // Points the last compute gave a gradient (each end of a crossing edge).
    int gradientPointCount() const { return int(needed_.size()); }

private:
    void computeValues(const Ball (&balls)[kBallCount]);
    void findFarBlocks(const Ball (&balls)[kBallCount]);
    void findCrossingEnds();
    void computeGradients(const Ball (&balls)[kBallCount]);

    std::vector<float> values_;
    std::vector<Vec3> gradients_;
    std::vector<std::uint8_t> inside_;
    std::vector<std::int32_t> needed_;
    // Blocks of 4 x 4 x 8 points (i, j, k) whose values need not be computed.
    static constexpr int kBlockI = 4, kBlockJ = 4, kBlockK = 8;
    static constexpr int kBlocksI = (kGridSide + kBlockI - 1) / kBlockI;
    static constexpr int kBlocksJ = (kGridSide + kBlockJ - 1) / kBlockJ;
    static constexpr int kBlocksK = (kGridSide + kBlockK - 1) / kBlockK;
    std::vector<std::uint8_t> far_;
};

}  // namespace metaball
