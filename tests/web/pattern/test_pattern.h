// A test pattern drawn with the GL 1.x calls the engine makes, one feature a
// cell: colour interpolation, textures and their environments over two units,
// the 1D ramp, blending, the alpha test, scissor and colour masks, depth,
// culling, lighting (directional and attenuated positional lights, specular,
// two-sided), frame-buffer copies. Drawn the same on the native GL and on the
// web build's GL layer, the two frames are compared.
#pragma once

namespace vantor::test {

inline constexpr int kPatternWidth = 320;
inline constexpr int kPatternHeight = 240;

// Draws the pattern into a current context of kPatternWidth x kPatternHeight
// whose multitexture entry points are loaded.
void drawTestPattern();

}  // namespace vantor::test
