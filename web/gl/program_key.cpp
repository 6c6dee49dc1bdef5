#include "program_key.h"

namespace vantor::webgl {

std::uint64_t ProgramKey::packed() const {
    std::uint64_t bits = lighting ? 1u : 0u;
    if (lighting)
        bits |= std::uint64_t(lightMask) << 1 | std::uint64_t(twoSide) << 9 | std::uint64_t(separateSpecular) << 10 |
                std::uint64_t(normalize) << 11;
    for (int u = 0; u < kTextureUnits; ++u) {
        const std::uint64_t unit = std::uint64_t(target[u]) | std::uint64_t(mode[u]) << 2 |
                                   std::uint64_t(alphaOnly[u]) << 5 | std::uint64_t(borderS[u]) << 6 |
                                   std::uint64_t(borderT[u]) << 7;
        bits |= unit << (16 + 8 * u);
    }
    // The eight compare functions are GL_NEVER + 0..7.
    bits |= std::uint64_t(alphaFunc - GL_NEVER) << 32;
    return bits;
}

GLuint unitTexture(const Context& context, int unit, UnitTarget* target) {
    const TextureUnit& u = context.units[unit];
    if (u.enabled2D) {
        *target = UnitTarget::Texture2D;
        return u.bound2D;
    }
    if (u.enabled1D) {
        *target = UnitTarget::Ramp1D;
        return u.bound1D;
    }
    *target = UnitTarget::None;
    return 0;
}

ProgramKey currentProgramKey(const Context& c) {
    ProgramKey key;
    key.lighting = c.lighting;
    if (c.lighting) {
        for (int i = 0; i < kMaxLights; ++i)
            if (c.lights[i].enabled) key.lightMask |= std::uint8_t(1u << i);
        key.twoSide = c.twoSide;
        key.separateSpecular = c.separateSpecular;
        key.normalize = c.normalize;
    }
    for (int u = 0; u < kTextureUnits; ++u) {
        UnitTarget target;
        const GLuint name = unitTexture(c, u, &target);
        const auto found = c.textures.find(name);
        // A unit enabled with no texture made behind its name samples nothing, as GL does.
        if (target == UnitTarget::None || found == c.textures.end() || found->second.width == 0) continue;
        key.target[u] = target;
        key.mode[u] = c.units[u].mode;
        const TextureInfo& info = found->second;
        key.alphaOnly[u] = info.baseFormat == GL_ALPHA;
        const bool linear = info.magFilter == GL_LINEAR;
        key.borderS[u] = linear && info.clampS;
        key.borderT[u] = linear && info.clampT && target == UnitTarget::Texture2D;
    }
    key.alphaFunc = c.alphaTest ? c.alphaFunc : GL_ALWAYS;
    return key;
}

}  // namespace vantor::webgl
