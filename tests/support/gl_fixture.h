// One offscreen GL context shared by every GL test of an executable, with
// pixel read-back helpers.
#pragma once

#include "platform/offscreen_gl.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace vantor::test {

class GlTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    void SetUp() override;

    // The shared context (created on first use, 640 x 480).
    static platform::OffscreenGL& context();

    // RGBA of the pixel at (x, y), y counted from the top row.
    static std::array<std::uint8_t, 4> pixel(int x, int y);
    static std::vector<std::uint8_t> frame();
};

// True when two channel values differ by at most `tolerance`.
inline bool near(int a, int b, int tolerance) { return a - b <= tolerance && b - a <= tolerance; }

}  // namespace vantor::test
