#include "tools/meshcaster/scene_dump.h"

#include "libs/ppd/ppd.h"
#include "scene/format/scene_chunk_decoder.h"
#include "scene/format/scene_file_format.h"

#include <memory>
#include <vector>

using namespace ppp;

namespace {

// One object of the listing with its children, in file order.
struct Node {
    const char* kind;
    std::int32_t id;
    std::string detail;
    std::vector<std::unique_ptr<Node>> children;
    int depth = 0;
};

std::string vec(const Vec3& v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g, %g)", v.x, v.y, v.z);
    return text;
}

std::string quat(const Quaternion& q) {
    char text[128];
    std::snprintf(text, sizeof text, "(%g, %g, %g, %g)", q.x, q.y, q.z, q.w);
    return text;
}

std::string transform(const Vec3& position, const Quaternion& rotation, const Vec3& scale) {
    return "position " + vec(position) + "  rotation " + quat(rotation) + "  scale " + vec(scale);
}

const char* trackKind(std::int32_t kind) {
    switch (kind) {
    case kPositionTrack: return "position";
    case kRotationTrack: return "rotation";
    case kPositionRotationTrack: return "position+rotation";
    default: return "unknown";
    }
}

const char* controllerClass(std::int32_t c) {
    switch (c) {
    case kKeyFramedClass: return "key-framed";
    case kSampledClass: return "sampled";
    default: return "unknown";
    }
}

// The shading mode the reader gives a material whose textures all load.
ShadingMode shadingOf(const MaterialRecord& m) {
    return shadingFromTextures(!m.textures[0].empty(), !m.textures[1].empty(), !m.textures[2].empty());
}

std::unique_ptr<Node> meshNode(const MeshRecord& m) {
    char text[512];
    std::snprintf(text, sizeof text, " \"%s\"  vertices %zu  coordinates %zu  faces %zu  ", m.name.c_str(),
                  m.vertices.size(), m.texCoords.size(), m.faces.size());
    return std::make_unique<Node>(Node{
        isBillboardName(m.name) ? "billboard" : "mesh", m.id, text + transform(m.position, m.rotation, m.scale), {}});
}

std::unique_ptr<Node> cameraNode(const CameraRecord& c) {
    char text[64];
    std::snprintf(text, sizeof text, "  target %d", c.targetId);
    return std::make_unique<Node>(Node{"camera", c.id, "  eye " + vec(c.eye) + text, {}});
}

std::unique_ptr<Node> lightNode(const LightRecord& l) {
    return std::make_unique<Node>(Node{"light",
                                       l.id,
                                       "  position " + vec(l.position) + "  diffuse/specular " + vec(l.colour) +
                                           "  ambient " + vec(lightAmbient(l.colour)),
                                       {}});
}

std::string materialLine(const MaterialRecord& m) {
    std::string line = "material " + std::to_string(m.id) + "  ambient " + vec(m.ambient) + "  diffuse " +
                       vec(m.diffuse) + "  specular " + vec(m.specular);
    char text[256];
    std::snprintf(text, sizeof text, "  shininess %g  strength %g  shading %d", 128.0f * m.shininess,
                  m.shininessStrength, shadingNumber(shadingOf(m)));
    line += text;
    if (m.twoSided) line += "  two-sided";
    if (!m.textures[2].empty()) line += "  additive";
    static const char* const slots[3] = {"base", "reflection", "additive"};
    for (int i = 0; i < 3; ++i)
        if (!m.textures[i].empty()) line += std::string("  ") + slots[i] + " \"" + m.textures[i] + "\"";
    return line;
}

std::string controllerLine(const ControllerRecord& c) {
    const bool sampled = c.controllerClass == kSampledClass;
    const bool carriesRecords =
        sampled || (c.controllerClass == kKeyFramedClass && (c.kind == kPositionTrack || c.kind == kRotationTrack));
    char text[256];
    std::snprintf(text, sizeof text, "controller owner %d  kind %d %s  class %d %s", c.ownerId, c.kind,
                  trackKind(c.kind), c.controllerClass, controllerClass(c.controllerClass));
    std::string line = text;
    if (!carriesRecords) return line + "  (header only)";
    std::snprintf(text, sizeof text, sampled ? "  samples %u  interval %d" : "  keys %u", c.count, c.interval);
    return line + text;
}

Node* search(std::vector<std::unique_ptr<Node>>& list, std::int32_t id) {
    for (auto& node : list) {
        if (node->id == id) return node.get();
        if (Node* found = search(node->children, id)) return found;
    }
    return nullptr;
}

void printTree(std::FILE* out, const std::vector<std::unique_ptr<Node>>& list, int depth) {
    for (const auto& node : list) {
        std::fprintf(out, "%*s%s %d%s\n", 2 * depth + 2, "", node->kind, node->id, node->detail.c_str());
        printTree(out, node->children, depth + 1);
    }
}

class Dump {
public:
    Dump(std::string path, std::FILE* err) : path_(std::move(path)), err_(err) {}

    bool run(std::FILE* out);

private:
    // Files one chunk under its list; false (said on err) when it cannot be.
    bool take(const Chunk& chunk);
    void print(std::FILE* out) const;

    bool fail(const std::string& text) {
        std::fprintf(err_, "meshcaster: %s: %s\n", path_.c_str(), text.c_str());
        return false;
    }
    // The reader's parent rule: id 0 is the root list; otherwise the objects,
    // then the lights, then the cameras.
    bool attach(std::unique_ptr<Node> node, std::int32_t parentId, ChunkType kind);

    std::string path_;
    std::FILE* err_;
    std::vector<std::unique_ptr<Node>> objects_, cameras_, lights_;
    std::vector<std::string> materials_, controllers_;
    int unknown_ = 0;
};

bool Dump::attach(std::unique_ptr<Node> node, std::int32_t parentId, ChunkType kind) {
    if (parentId == 0) {
        objects_.push_back(std::move(node));
        return true;
    }
    Node* parent = search(objects_, parentId);
    if (!parent) parent = search(lights_, parentId);
    if (!parent) parent = search(cameras_, parentId);
    if (!parent) return fail(errors::missingParent(kind, node->id, parentId));
    if (!nestingAllowed(parent->depth)) return fail(errors::nestedTooDeep(node->id));
    node->depth = parent->depth + 1;
    parent->children.push_back(std::move(node));
    return true;
}

bool Dump::take(const Chunk& chunk) {
    switch (chunk.type) {
    case kMeshChunk: return attach(meshNode(chunk.mesh), chunk.mesh.parentId, kMeshChunk);
    case kDummyChunk: {
        const DummyRecord& d = chunk.dummy;
        return attach(
            std::make_unique<Node>(Node{"dummy", d.id, "  " + transform(d.position, d.rotation, d.scale), {}}),
            d.parentId, kDummyChunk);
    }
    case kTargetChunk:
        objects_.push_back(
            std::make_unique<Node>(Node{"target", chunk.target.id, "  position " + vec(chunk.target.position), {}}));
        return true;
    case kCameraChunk: cameras_.push_back(cameraNode(chunk.camera)); return true;
    case kLightChunk: lights_.push_back(lightNode(chunk.light)); return true;
    case kMaterialChunk: materials_.push_back(materialLine(chunk.material)); return true;
    case kControllerChunk: controllers_.push_back(controllerLine(chunk.controller)); return true;
    default: ++unknown_; return true;
    }
}

void Dump::print(std::FILE* out) const {
    std::fprintf(out, "%s\n", path_.c_str());
    std::fprintf(out, "objects:\n");
    printTree(out, objects_, 0);
    std::fprintf(out, "cameras:\n");
    printTree(out, cameras_, 0);
    std::fprintf(out, "lights:\n");
    printTree(out, lights_, 0);
    std::fprintf(out, "materials:\n");
    for (const std::string& line : materials_) std::fprintf(out, "  %s\n", line.c_str());
    std::fprintf(out, "controllers:\n");
    for (const std::string& line : controllers_) std::fprintf(out, "  %s\n", line.c_str());
    if (unknown_) std::fprintf(out, "unknown chunks skipped: %d\n", unknown_);
}

bool Dump::run(std::FILE* out) {
    ppd_file* file = ppd_open(path_.c_str());
    if (!file) return fail(errors::kCouldNotOpen);
    std::unique_ptr<ppd_file, void (*)(ppd_file*)> closer(file, ppd_close);
    ChunkDecoder decoder(file);
    if (!decoder.readLeadWord()) return fail(errors::kNotASceneFile);

    auto chunk = std::make_unique<Chunk>();
    for (;;) {
        const ChunkDecoder::Result result = decoder.next(*chunk);
        if (result == ChunkDecoder::Result::Error) return fail(decoder.error());
        if (result == ChunkDecoder::Result::EndOfData || chunk->type == kEndChunk) break;
        if (!take(*chunk)) return false;
    }
    print(out);
    return true;
}

}  // namespace

bool dumpScene(const std::string& path, std::FILE* out, std::FILE* err) { return Dump(path, err).run(out); }
