// One linked shader program per fixed-function state in use, made the first
// time the state is drawn with and kept for the page's life.
#pragma once

#include <cstdint>
#include <string>

#include "program_key.h"

namespace vantor::webgl {

struct Program {
    GLuint name = 0;
    GLint modelview = -1, projection = -1, normalMatrix = -1;
    GLint lightAmbient = -1, lightDiffuse = -1, lightSpecular = -1, lightPosition = -1, lightAttenuation = -1;
    GLint material = -1, sceneAmbient = -1, alphaRef = -1;
    GLint texture[kTextureUnits] = {-1, -1};
    GLint textureSize[kTextureUnits] = {-1, -1};
};

// The program for the key, made on first use. A program that does not compile
// is a fault of this layer: the reason goes to the console and the draw is
// skipped (name 0).
const Program& programFor(const ProgramKey& key);

// How many programs were made so far.
std::size_t programCount();

}  // namespace vantor::webgl
