// The drawing recipes a material can use. The reader picks one from the
// textures a material names; effects switch materials to the others.
#pragma once

enum class ShadingMode : int {
    Lit = 0,                 // lit, untextured, separate specular colour
    LitTextured = 1,         // lit, base texture with the mesh's coordinates
    SphereMap = 2,           // unlit, reflection texture with sphere-map coordinates
    MirroredSphereMap = 3,   // as SphereMap with the sphere map mirrored in u
    TexturedReflection = 4,  // unlit, base texture plus reflection texture on the
                             // second unit, added
    Cel = 5,                 // cel shading with the palette and black outlines
    CelTextured = 6,         // cel shading combined with the base texture
};

// The recipe's number, as listings print it.
constexpr int shadingNumber(ShadingMode mode) { return static_cast<int>(mode); }

// Whether the recipe draws with the cel palette (and the outline pass).
constexpr bool isCelShading(ShadingMode mode) { return mode == ShadingMode::Cel || mode == ShadingMode::CelTextured; }
