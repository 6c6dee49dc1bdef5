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

// A 2 x 2 RGBA texture with nearest filtering, bound on the active unit; its
// texels row by row from the bottom. The caller deletes it.
unsigned makeTexture2x2(const std::uint8_t (&texels)[16]);

// Draws `texture` over the whole viewport through texture unit 1 in replace
// mode (so the multitexture entry points really draw), under flat
// projections with depth testing off; leaves unit 1 off and unit 0 active.
void drawThroughSecondUnit(unsigned texture);

// True when two channel values differ by at most `tolerance`.
inline bool near(int a, int b, int tolerance) { return a - b <= tolerance && b - a <= tolerance; }

}  // namespace vantor::test
