#include "scene/format/scene_file_format.h"

#include <cstdio>

namespace ppp {

namespace {

std::string formatIds(const char* pattern, long long a, long long b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

bool isBillboardName(const std::string& name) { return name.rfind(kBillboardPrefix, 0) == 0; }

ShadingMode shadingFromTextures(bool base, bool reflection, bool additive) {
    if (base && reflection) return ShadingMode::TexturedReflection;
    if (additive || base) return ShadingMode::LitTextured;
    if (reflection) return ShadingMode::SphereMap;
    return ShadingMode::Lit;
}

namespace errors {

std::string missingParent(ChunkType kind, long long id, long long parentId) {
    return formatIds(kind == kDummyChunk ? "dummy object %lld could not find parent obj %lld"
                                         : "object %lld could not find parent obj %lld",
                     id, parentId);
}

std::string nestedTooDeep(long long id) {
    return formatIds("object %lld is nested more than %lld levels deep", id, kMaximumNesting);
}

std::string faceOutsideGeometry(long long id) { return formatIds("object %lld has a face outside its geometry", id); }

std::string textureNotLoaded(const std::string& name) { return "could not load texture " + name + "\n"; }

}  // namespace errors

std::string parseErrorMessage(const std::string& fileName, const std::string& text) {
    return "Error in parsing " + fileName + ": " + text + "\n";
}

}  // namespace ppp
