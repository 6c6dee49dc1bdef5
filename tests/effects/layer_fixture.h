// What the layer effects' GL tests share: the offscreen context with a check
// that every effect pops the matrices it pushes, a layer that only draws its
// buffer, and read-back of textures and screen areas.
#pragma once

#include "effects/layer_effect.h"
#include "platform/gl_api.h"
#include "tests/effects/matrix_balance_fixture.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vantor::test {

// The effect must pop every matrix it pushes (see MatrixBalanceTest).
class LayerTest : public MatrixBalanceTest {
protected:
    static void clearTo(float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
    }

    // Level 0 of a texture as RGBA bytes, rows bottom-up as GL stores them
    // (row 0 is the first row uploaded).
    static std::vector<std::uint8_t> texels(GLuint texture, int* w = nullptr, int* h = nullptr) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint tw = 0, th = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(tw) * th * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        if (w) *w = tw;
        if (h) *h = th;
        return out;
    }

    // Whether the pixel at (x, y) (from the top) matches r, g, b.
    static ::testing::AssertionResult pixelIs(int x, int y, int r, int g, int b, int tolerance = 2) {
        const auto p = pixel(x, y);
        if (near(p[0], r, tolerance) && near(p[1], g, tolerance) && near(p[2], b, tolerance))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "at " << x << "," << y << ": " << int(p[0]) << " " << int(p[1]) << " "
                                             << int(p[2]) << ", expected " << r << " " << g << " " << b;
    }
};

// A layer whose run does nothing: post draws its buffer.
class PlainLayer : public LayerEffect {
public:
    PlainLayer() = default;
    explicit PlainLayer(int w, int h) : buffer(static_cast<std::size_t>(w) * h * 4, 0) {
        setSize(w, h);
        pixels = buffer.data();
    }
    void run(int) override {}
    void fill(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
        for (std::size_t i = 0; i < buffer.size(); i += 4) {
            buffer[i] = r;
            buffer[i + 1] = g;
            buffer[i + 2] = b;
            buffer[i + 3] = a;
        }
    }
    std::vector<std::uint8_t> buffer;
};

}  // namespace vantor::test
