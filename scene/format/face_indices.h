// A triangle as indices into its mesh's vertices and texture coordinates, as
// the scene files store it.
#pragma once

#include <cstdint>

struct FaceIndices {
    std::uint32_t vertex[3] = {0, 0, 0};
    std::uint32_t texCoord[3] = {0, 0, 0};
    std::int32_t materialId = 0;  // -1 is read as 0
};
