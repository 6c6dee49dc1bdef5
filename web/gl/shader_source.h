// The GLSL ES 3.00 sources of the program for one fixed-function state:
// per-vertex lighting as GL 1.x computes it (emission, scene ambient, each
// light's ambient, diffuse and half-vector specular with attenuation), then
// the texture environments of the two units, the separate specular colour
// and the alpha test per fragment.
#pragma once

#include <string>

#include "program_key.h"

namespace vantor::webgl {

// Attribute slots of the vertex records.
enum Attribute { kPosition = 0, kColor = 1, kNormal = 2, kTexCoord0 = 3, kTexCoord1 = 4 };

std::string vertexShaderSource(const ProgramKey& key);
std::string fragmentShaderSource(const ProgramKey& key);

}  // namespace vantor::webgl
