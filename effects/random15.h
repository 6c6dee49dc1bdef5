// A small deterministic source of 15-bit random integers (0 to 32767).
//
// Effects divide the result by 32767 for a value uniform in [0, 1]. Each effect
// owns its own generator, so a run of the demo (and an offline render of it)
// draws the same picture every time.
#pragma once

#include <cstdint>

class Random15 {
public:
    static constexpr int kMax = 32767;

    explicit Random15(std::uint32_t seed = 1) : state_(seed) {}

    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }

    // A value uniform in [0, 1].
    float unit() { return static_cast<float>(next()) / kMax; }

private:
    std::uint32_t state_;
};
