// Imported materials as scene-file materials: the diffuse (or base) colour,
// the specular colour and shininess, two-sidedness, and the diffuse (or base
// colour) texture saved as a picture the demo reads.
#pragma once

#include "scene/format/scene_file_format.h"

struct aiMaterial;

namespace meshimport {

class TextureExport;

ppp::MaterialRecord fileMaterial(const aiMaterial& material, std::int32_t id, TextureExport& textures);

// The material given to triangles whose file names none.
ppp::MaterialRecord defaultMaterial(std::int32_t id);

}  // namespace meshimport
