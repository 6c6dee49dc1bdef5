#include "content/images/noise.h"

#include <cmath>

namespace vantor::pictures {

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

namespace {

std::uint32_t hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return h;
}

int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

double corner(int ix, int iy, double fx, double fy, int px, int py, std::uint32_t seed) {
    const std::uint32_t h = hash(wrap(ix, px), wrap(iy, py), seed);
    const double angle = (h & 0xFFFF) * (6.283185307179586 / 65536.0);
    return std::cos(angle) * fx + std::sin(angle) * fy;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double gradientNoise(double x, double y, int periodX, int periodY, std::uint32_t seed) {
    const double fx0 = std::floor(x), fy0 = std::floor(y);
    const int ix = static_cast<int>(fx0), iy = static_cast<int>(fy0);
    const double dx = x - fx0, dy = y - fy0;
    const double n00 = corner(ix, iy, dx, dy, periodX, periodY, seed);
    const double n10 = corner(ix + 1, iy, dx - 1, dy, periodX, periodY, seed);
    const double n01 = corner(ix, iy + 1, dx, dy - 1, periodX, periodY, seed);
    const double n11 = corner(ix + 1, iy + 1, dx - 1, dy - 1, periodX, periodY, seed);
    const double u = fade(dx), v = fade(dy);
    const double a = n00 + u * (n10 - n00), b = n01 + u * (n11 - n01);
    return 1.41 * (a + v * (b - a));
}

double fractalNoise(double x, double y, int octaves, double gain, int periodX, int periodY, std::uint32_t seed) {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * gradientNoise(x, y, periodX, periodY, seed + 101u * o);
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

}  // namespace vantor::pictures
