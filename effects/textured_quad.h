// One quad of the bound texture in the current matrices, the way every effect
// draws its textured rectangles: texture (u0, v0) at (left, top), (u1, v0) at
// (right, top), (u1, v1) at (right, bottom), (u0, v1) at (left, bottom).
// "top" is only the edge drawn with v0: callers whose rows run bottom-up pass
// the lower edge there.
#pragma once

struct TextureArea {
    float u0, v0, u1, v1;
};

// The whole texture.
constexpr TextureArea kWholeTexture{0, 0, 1, 1};

void texturedQuad(float left, float top, float right, float bottom, TextureArea area = kWholeTexture);
