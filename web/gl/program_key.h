// The fixed-function state a draw depends on, packed into one number: each
// combination in use gets its own shader program, made once and kept.
#pragma once

#include <cstdint>

#include "context.h"

namespace vantor::webgl {

enum class UnitTarget : std::uint8_t { None, Ramp1D, Texture2D };

struct ProgramKey {
    bool lighting = false;
    std::uint8_t lightMask = 0;  // bit i: light i on
    bool twoSide = false;
    bool separateSpecular = false;
    bool normalize = false;
    UnitTarget target[kTextureUnits] = {UnitTarget::None, UnitTarget::None};
    EnvMode mode[kTextureUnits] = {EnvMode::Modulate, EnvMode::Modulate};
    bool alphaOnly[kTextureUnits] = {false, false};  // the texture holds alpha alone
    bool borderS[kTextureUnits] = {false, false};    // GL_CLAMP with linear filtering
    bool borderT[kTextureUnits] = {false, false};
    GLenum alphaFunc = GL_ALWAYS;  // GL_ALWAYS: no alpha test

    std::uint64_t packed() const;
};

// The key of the state the context holds now.
ProgramKey currentProgramKey(const Context& context);

// Where the texture a unit samples now lives (our name), and its target.
GLuint unitTexture(const Context& context, int unit, UnitTarget* target);

}  // namespace vantor::webgl
