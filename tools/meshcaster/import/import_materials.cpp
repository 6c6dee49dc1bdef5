#include "tools/meshcaster/import/import_materials.h"

#include "tools/meshcaster/import/import_textures.h"

#include <assimp/material.h>

#include <algorithm>
#include <cmath>

namespace meshimport {
namespace {

// The largest exponent OpenGL lighting takes; the file stores exponent / 128.
constexpr float kLargestExponent = 128;

Vec3 clampedColour(const aiColor4D& c) {
    auto unit = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
    return {unit(c.r), unit(c.g), unit(c.b)};
}

bool colour(const aiMaterial& m, const char* key, unsigned type, unsigned index, Vec3& out) {
    aiColor4D c;
    if (m.Get(key, type, index, c) != AI_SUCCESS) return false;
    out = clampedColour(c);
    return true;
}

}  // namespace

ppp::MaterialRecord defaultMaterial(std::int32_t id) {
    ppp::MaterialRecord r;
    r.id = id;
    r.diffuse = {0.8f, 0.8f, 0.8f};
    r.ambient = r.diffuse;
    r.specular = {0.3f, 0.3f, 0.3f};
    r.shininess = 0.2f;
    r.shininessStrength = 1;
    return r;
}

ppp::MaterialRecord fileMaterial(const aiMaterial& m, std::int32_t id, TextureExport& textures) {
    ppp::MaterialRecord r = defaultMaterial(id);
    // glTF's base colour where the file has one, else the classic diffuse.
    if (!colour(m, AI_MATKEY_BASE_COLOR, r.diffuse)) colour(m, AI_MATKEY_COLOR_DIFFUSE, r.diffuse);
    // The scene's lights have an ambient part of 0.3 x their colour and the
    // global ambient light is black: an ambient colour equal to the diffuse
    // one keeps the sides turned from the light dimly in the object's colour.
    r.ambient = r.diffuse;
    Vec3 specular;
    if (colour(m, AI_MATKEY_COLOR_SPECULAR, specular)) r.specular = specular;
    float exponent = 0;
    if (m.Get(AI_MATKEY_SHININESS, exponent) == AI_SUCCESS && std::isfinite(exponent))
        r.shininess = std::clamp(exponent, 0.0f, kLargestExponent) / kLargestExponent;
    float strength = 1;
    if (m.Get(AI_MATKEY_SHININESS_STRENGTH, strength) == AI_SUCCESS && std::isfinite(strength))
        r.shininessStrength = std::clamp(strength, 0.0f, 1.0f);
    int twoSided = 0;
    if (m.Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS) r.twoSided = twoSided != 0;

    aiString path;
    if (m.GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS ||
        m.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS)
        r.textures[0] = textures.save(path.C_Str());
    return r;
}

}  // namespace meshimport
