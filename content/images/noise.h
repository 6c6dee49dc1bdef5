// Deterministic randomness for the pictures: a seeded generator and smooth
// gradient noise that can repeat with a chosen period (for pictures that wrap).
#pragma once

#include <cstdint>

namespace vantor::pictures {

// SplitMix64: small, fast, and the same sequence on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform();  // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double triangular() { return uniform() + uniform() - 1.0; }  // (-1, 1), peaked at 0

private:
    std::uint64_t state_;
};

// Gradient noise in about [-1, 1]. With a period p > 0 along an axis the
// noise repeats every p units there (p must be a whole number of lattice cells).
double gradientNoise(double x, double y, int periodX = 0, int periodY = 0, std::uint32_t seed = 0);

// Sum of octaves of gradient noise, each twice the frequency and `gain` times
// the amplitude of the one before; periods double with the frequency.
double fractalNoise(double x, double y, int octaves, double gain = 0.5, int periodX = 0, int periodY = 0,
                    std::uint32_t seed = 0);

}  // namespace vantor::pictures
