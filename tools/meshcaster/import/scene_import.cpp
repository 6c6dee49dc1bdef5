#include "tools/meshcaster/import/scene_import.h"

#include "kpx/kpx.h"
#include "scene/format/scene_file_writer.h"
#include "tools/meshcaster/import/import_animation.h"
#include "tools/meshcaster/import/import_geometry.h"
#include "tools/meshcaster/import/import_materials.h"
#include "tools/meshcaster/import/import_report.h"
#include "tools/meshcaster/import/import_staging.h"
#include "tools/meshcaster/import/import_textures.h"
#include "tools/meshcaster/import/import_transform.h"
#include "tools/meshcaster/import/model_reading.h"
#include "tools/meshcaster/import/output_files.h"

#include <assimp/scene.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

namespace meshimport {
namespace {

constexpr std::size_t kMaximumNodes = 65536;
constexpr std::size_t kMaximumVertices = 4u << 20;
constexpr std::size_t kMaximumTriangles = 4u << 20;
constexpr int kMaximumLights = 8;  // what OpenGL lights
constexpr int kMaximumCameras = 256;
constexpr double kDefaultTicksPerSecond = 25;
constexpr std::uintmax_t kProgressAbove = 16u << 20;  // input bytes

// One node of the file as it goes into the scene file.
struct NodeEntry {
    const aiNode* node = nullptr;
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    int parent = -1;  // index into the entries, -1 for the file's root
    aiMatrix4x4 local, world;
    const aiNodeAnim* channel = nullptr;
    // Scene files draw front faces counter-clockwise on screen, so no written
    // transform may mirror. A mirroring node writes its transform times a
    // mirror in x and takes that mirror into its own vertices (x negated,
    // corners in the other order) and hands it on to its children.
    aiMatrix4x4 written;
    bool mirrored = false;
};

// The mirror in x a mirroring transform is split from.
const aiMatrix4x4 kMirrorX(-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

bool mirrors(const aiMatrix4x4& m) { return aiMatrix3x3(m).Determinant() < 0; }

bool finiteMatrix(const aiMatrix4x4& m) {
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c)
            if (!std::isfinite(m[r][c])) return false;
    return true;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string objectName(const aiNode& node, std::int32_t id) {
    std::string name = node.mName.C_Str();
    if (name.empty()) name = "object " + std::to_string(id);
    if (name.size() >= ppp::kNameFieldSize) name.resize(ppp::kNameFieldSize - 1);
    return name;
}

Vec3 transformPoint(const aiMatrix4x4& m, const aiVector3D& p) { return toVec3(m * p); }

Vec3 transformDirection(const aiMatrix4x4& m, const aiVector3D& d) {
    aiMatrix3x3 turn(m);
    aiVector3D v = turn * d;
    if (v.SquareLength() > 0) v.Normalize();
    return toVec3(v);
}

class SceneImport {
public:
    SceneImport(const aiScene& scene, const ImportOptions& options, ImportReport& report, TextureExport& textures)
        : scene_(scene), options_(options), report_(report), textures_(textures) {}

    void write(SceneFileWriter& out, ImportSummary& summary);

private:
    void collectNodes();
    void writeMaterials(SceneFileWriter& out, ImportSummary& summary);
    void writeObjects(SceneFileWriter& out, ImportSummary& summary);
    void writeCameras(SceneFileWriter& out, ImportSummary& summary);
    void writeLights(SceneFileWriter& out, ImportSummary& summary);
    void writeTracks(SceneFileWriter& out, ImportSummary& summary);
    // The world transform of entry `index` at `ticks` of the animation.
    aiMatrix4x4 worldAt(int index, double ticks) const;
    bool animatedChain(int index) const;
    int entryOf(const aiString& name) const;
    std::int32_t materialId(unsigned index) const;

    const aiScene& scene_;
    const ImportOptions& options_;
    ImportReport& report_;
    TextureExport& textures_;
    Conversion conversion_;
    const aiAnimation* animation_ = nullptr;
    double ticksPerSecond_ = kDefaultTicksPerSecond;
    std::vector<NodeEntry> entries_;
    std::map<std::string, int> byName_;       // channel of a node name
    std::map<std::string, int> entryByName_;  // entry of a node name
    std::int32_t nextId_ = 2;                 // 1 is the conversion dummy
    std::int32_t defaultMaterial_ = 0;        // 0: not needed
    Bounds bounds_;
    bool rootMirrored_ = false;
    std::size_t samplesPerTrack_ = kMaximumSamples;
};

void SceneImport::collectNodes() {
    // Depth first, parents before children, without recursion.
    struct Pending {
        const aiNode* node;
        int parent;
        int depth;
    };
    std::vector<Pending> stack{{scene_.mRootNode, -1, 1}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        if (entries_.size() >= kMaximumNodes) throw ImportRefused("more than 65536 nodes");
        if (p.depth > ppp::kMaximumNesting) throw ImportRefused("nodes nested deeper than scene files allow");
        NodeEntry e;
        e.node = p.node;
        e.id = nextId_++;
        e.parentId = p.parent < 0 ? 1 : entries_[std::size_t(p.parent)].id;
        e.parent = p.parent;
        auto channel = animation_ ? byName_.find(p.node->mName.C_Str()) : byName_.end();
        if (animation_ && channel != byName_.end()) e.channel = animation_->mChannels[channel->second];
        e.local = e.channel ? channelTransform(*e.channel, 0, p.node->mTransformation) : p.node->mTransformation;
        if (!finiteMatrix(p.node->mTransformation) || !finiteMatrix(e.local))
            throw ImportRefused("a node's transform is not a finite number");
        e.world = (p.parent < 0 ? conversion_.matrix : entries_[std::size_t(p.parent)].world) * e.local;
        const bool handedMirror = p.parent < 0 ? rootMirrored_ : entries_[std::size_t(p.parent)].mirrored;
        e.written = handedMirror ? kMirrorX * e.local : e.local;
        if (mirrors(e.written)) {
            e.written = e.written * kMirrorX;
            e.mirrored = true;
        }
        if (e.channel && (handedMirror || e.mirrored))
            report_.warnOnce("mirror-track", "an animated node under a mirroring transform is drawn inside out");
        entries_.push_back(e);
        const int self = int(entries_.size()) - 1;
        entryByName_.emplace(p.node->mName.C_Str(), self);  // the first node of a name
        for (unsigned i = p.node->mNumChildren; i-- > 0;)
            if (p.node->mChildren[i]) stack.push_back({p.node->mChildren[i], self, p.depth + 1});
    }
}

std::int32_t SceneImport::materialId(unsigned index) const {
    return index < scene_.mNumMaterials ? std::int32_t(index) + 1 : defaultMaterial_;
}

void SceneImport::writeMaterials(SceneFileWriter& out, ImportSummary& summary) {
    // Only materials that some triangles use: the others' textures would be
    // saved for nothing.
    std::vector<bool> used(scene_.mNumMaterials, false);
    for (unsigned i = 0; i < scene_.mNumMeshes; ++i) {
        const aiMesh* mesh = scene_.mMeshes[i];
        if (!mesh) continue;
        if (mesh->mMaterialIndex < scene_.mNumMaterials)
            used[mesh->mMaterialIndex] = true;
        else
            defaultMaterial_ = std::int32_t(scene_.mNumMaterials) + 1;
    }
    for (unsigned i = 0; i < scene_.mNumMaterials; ++i) {
        if (!used[i] || !scene_.mMaterials[i]) continue;
        out.material(fileMaterial(*scene_.mMaterials[i], materialId(i), textures_));
        ++summary.materials;
    }
    if (defaultMaterial_) {
        out.material(defaultMaterial(defaultMaterial_));
        ++summary.materials;
    }
}

void SceneImport::writeObjects(SceneFileWriter& out, ImportSummary& summary) {
    // The dummy that turns the file's axes and units into the scene's.
    ppp::DummyRecord root;
    root.id = 1;
    const FilePose rootPose = filePose(rootMirrored_ ? conversion_.matrix * kMirrorX : conversion_.matrix);
    root.position = rootPose.position;
    root.rotation = rootPose.rotation;
    root.scale = rootPose.scale;
    out.dummy(root);
    ++summary.objects;

    std::size_t vertices = 0;
    for (const NodeEntry& e : entries_) {
        NodeGeometry geometry;
        for (unsigned i = 0; i < e.node->mNumMeshes; ++i) {
            const unsigned index = e.node->mMeshes[i];
            if (index >= scene_.mNumMeshes || !scene_.mMeshes[index])
                throw ImportRefused("a node names a missing mesh");
            addMesh(*scene_.mMeshes[index], materialId(scene_.mMeshes[index]->mMaterialIndex), geometry, report_);
            if (std::size_t(summary.triangles) + geometry.faces.size() > kMaximumTriangles)
                throw ImportRefused("more than 4194304 triangles");
            if (vertices + geometry.vertices.size() > kMaximumVertices)
                throw ImportRefused("more than 4194304 vertices");
        }
        if (geometry.droppedTriangles)
            report_.warnOnce("flat", "triangles without area are left out (the demo could not light them)");
        if (e.mirrored) {
            for (Vec3& v : geometry.vertices) v.x = -v.x;
            for (FaceIndices& f : geometry.faces) {
                std::swap(f.vertex[1], f.vertex[2]);
                std::swap(f.texCoord[1], f.texCoord[2]);
            }
        }
        const FilePose pose = filePose(e.written);
        if (geometry.faces.empty()) {
            out.dummy({e.id, e.parentId, pose.position, pose.rotation, pose.scale});
            ++summary.objects;
            continue;
        }
        vertices += geometry.vertices.size();
        summary.triangles += long(geometry.faces.size());
        if (vertices > kMaximumVertices) throw ImportRefused("more than 4194304 vertices");
        if (std::size_t(summary.triangles) > kMaximumTriangles) throw ImportRefused("more than 4194304 triangles");
        const aiMatrix4x4 toWorld = e.mirrored ? e.world * kMirrorX : e.world;
        for (const Vec3& v : geometry.vertices) bounds_.add(transformPoint(toWorld, {v.x, v.y, v.z}));
        ppp::MeshRecord mesh;
        mesh.id = e.id;
        mesh.parentId = e.parentId;
        mesh.name = objectName(*e.node, e.id);
        mesh.position = pose.position;
        mesh.rotation = pose.rotation;
        mesh.scale = pose.scale;
        mesh.vertices = std::move(geometry.vertices);
        mesh.texCoords = std::move(geometry.texCoords);
        mesh.faces = std::move(geometry.faces);
        out.mesh(mesh);
        ++summary.objects;
        ++summary.meshes;
    }
    if (summary.triangles == 0) throw ImportRefused("the file holds no triangles");
    const Vec3 span = bounds_.high - bounds_.low;
    if (!std::isfinite(span.x + span.y + span.z + bounds_.low.x + bounds_.low.y + bounds_.low.z) ||
        std::max({std::fabs(bounds_.low.x), std::fabs(bounds_.low.y), std::fabs(bounds_.low.z),
                  std::fabs(bounds_.high.x), std::fabs(bounds_.high.y), std::fabs(bounds_.high.z)}) > 1e30f)
        throw ImportRefused("the model's coordinates are too large for scene files");
}

int SceneImport::entryOf(const aiString& name) const {
    const auto found = entryByName_.find(name.C_Str());
    return found == entryByName_.end() ? -1 : found->second;
}

bool SceneImport::animatedChain(int index) const {
    for (int i = index; i >= 0; i = entries_[std::size_t(i)].parent)
        if (entries_[std::size_t(i)].channel) return true;
    return false;
}

aiMatrix4x4 SceneImport::worldAt(int index, double ticks) const {
    std::vector<int> chain;
    for (int i = index; i >= 0; i = entries_[std::size_t(i)].parent) chain.push_back(i);
    aiMatrix4x4 world = conversion_.matrix;
    for (auto i = chain.rbegin(); i != chain.rend(); ++i) {
        const NodeEntry& e = entries_[std::size_t(*i)];
        world = world * (e.channel ? channelTransform(*e.channel, ticks, e.node->mTransformation) : e.local);
    }
    return world;
}

void SceneImport::writeCameras(SceneFileWriter& out, ImportSummary& summary) {
    const Vec3 centre = bounds_.centre();
    const float radius = bounds_.radius();
    float reach = 0;
    const bool fromThreeDs = sourceFormat(scene_).find("3DS") != std::string::npos;
    for (unsigned i = 0; i < scene_.mNumCameras; ++i) {
        const aiCamera* camera = scene_.mCameras[i];
        if (!camera) continue;
        if (summary.cameras == kMaximumCameras) {
            report_.warnOnce("cameras", "more than 256 cameras: the others are skipped");
            break;
        }
        const int entry = entryOf(camera->mName);
        // The 3DS reader gives the camera's position both in the camera and
        // in its node, and loses the point it looks at: such cameras stand
        // where their node is and look at the model.
        aiVector3D offset = camera->mPosition;
        if (entry >= 0 && fromThreeDs) offset = aiVector3D();
        if (fromThreeDs) report_.warnOnce("3ds-camera", "3DS cameras keep their place and look at the model's centre");
        // Where the camera and the point it looks at are at `ticks`; the
        // point sits as far along the view as the model's centre. A view
        // straight up or down cannot be drawn (the demo's cameras keep +y
        // up): such a camera looks at the model's centre instead.
        auto eyeAndTarget = [&](double ticks) {
            const aiMatrix4x4 world = entry >= 0 ? worldAt(entry, ticks) : conversion_.matrix;
            const Vec3 eye = transformPoint(world, offset);
            Vec3 view = transformDirection(world, camera->mLookAt);
            if (fromThreeDs) return std::make_pair(eye, centre);
            if (!(view.length() > 0.5f) || std::fabs(view.y) > 0.999f) {
                report_.warnOnce("camera-up", "a camera looking straight up or down is aimed at the model instead");
                return std::make_pair(eye, centre);
            }
            const float along = std::max(Vec3::dot(centre - eye, view), 0.25f * radius);
            return std::make_pair(eye, eye + view * along);
        };
        const auto [eye, target] = eyeAndTarget(0);
        if (!std::isfinite(eye.x + eye.y + eye.z + target.x + target.y + target.z)) continue;
        const std::int32_t targetId = nextId_++, cameraId = nextId_++;
        out.target({targetId, target});
        out.camera({cameraId, eye, targetId});
        reach = std::max(reach, (centre - eye).length() + radius);
        ++summary.cameras;
        ++summary.objects;
        if (animation_ && entry >= 0 && animatedChain(entry)) {
            // Scene-file cameras and targets take world positions: their
            // motion is sampled from the whole chain of nodes above them.
            std::size_t count = 0;
            const double framesPerTick = kFramesPerSecond / ticksPerSecond_;
            const std::int32_t interval =
                sampleInterval(animation_->mDuration * framesPerTick, options_.fps, samplesPerTrack_, &count);
            std::vector<ppp::SampleRecord> eyes, targets;
            for (std::size_t k = 0; k < count; ++k) {
                const auto [e, t] = eyeAndTarget(std::min(double(k) * interval / framesPerTick, animation_->mDuration));
                eyes.push_back({e, {0, 0, 0, 1}});
                targets.push_back({t, {0, 0, 0, 1}});
            }
            out.samples(targetId, interval, targets);
            out.samples(cameraId, interval, eyes);
            summary.sampledTracks += 2;
        }
    }
    if (summary.cameras == 0) {
        const std::int32_t targetId = nextId_++;
        out.target({targetId, centre});
        ++summary.objects;
        for (const Vec3& eye : framingEyes(bounds_)) {
            out.camera({nextId_++, eye, targetId});
            reach = std::max(reach, (centre - eye).length() + radius);
            ++summary.cameras;
        }
        summary.framingCameras = true;
    }
    if (reach > kFarPlane)
        report_.warn("the model reaches beyond the demo's far plane (20000 units from the camera): try --scale");
}

void SceneImport::writeLights(SceneFileWriter& out, ImportSummary& summary) {
    const Vec3 centre = bounds_.centre();
    const float radius = bounds_.radius();
    for (unsigned i = 0; i < scene_.mNumLights; ++i) {
        const aiLight* light = scene_.mLights[i];
        if (!light) continue;
        if (light->mType == aiLightSource_AMBIENT) {
            report_.warnOnce("ambient", "scene files have no ambient lights: skipped");
            continue;
        }
        if (summary.lights == kMaximumLights) {
            report_.warnOnce("lights", "the demo lights with at most eight lights: the others are skipped");
            break;
        }
        const int entry = entryOf(light->mName);
        const aiMatrix4x4 world = entry >= 0 ? entries_[std::size_t(entry)].world : conversion_.matrix;
        if (entry >= 0 && animatedChain(entry))
            report_.warnOnce("light-track", "scene files do not move lights: they stay where they are at the start");
        Vec3 position;
        if (light->mType == aiLightSource_DIRECTIONAL) {
            // Scene-file lights are points: a distant one stands in for the sun.
            Vec3 direction = transformDirection(world, light->mDirection);
            if (!(direction.length() > 0.5f)) direction = Vec3{0, -1, 0};
            position = centre - direction * (8 * radius);
        } else {
            position = transformPoint(world, light->mPosition);
        }
        // Colours above 1 (intensities) are brought down to the brightest 1.
        Vec3 colour{light->mColorDiffuse.r, light->mColorDiffuse.g, light->mColorDiffuse.b};
        const float brightest = std::max({colour.x, colour.y, colour.z});
        if (!std::isfinite(brightest) || !std::isfinite(position.x + position.y + position.z)) continue;
        if (brightest > 1) colour = colour * (1 / brightest);
        if (brightest <= 0) continue;
        out.light({nextId_++, position, colour});
        ++summary.lights;
    }
    if (summary.lights == 0) {
        out.light({nextId_++, keyLightPosition(bounds_), {1.0f, 0.97f, 0.92f}});
        summary.lights = 1;
        summary.keyLight = true;
    }
}

void SceneImport::writeTracks(SceneFileWriter& out, ImportSummary& summary) {
    if (!animation_) return;
    for (const NodeEntry& e : entries_) {
        if (!e.channel) continue;
        const NodeTracks tracks = nodeTracks(*e.channel, ticksPerSecond_, animation_->mDuration, options_.fps,
                                             samplesPerTrack_, e.node->mTransformation, report_);
        if (tracks.sampled) {
            out.samples(e.id, tracks.interval, tracks.samples);
            ++summary.sampledTracks;
            continue;
        }
        if (!tracks.positions.empty()) out.positionKeys(e.id, tracks.positions), ++summary.keyedTracks;
        if (!tracks.rotations.empty()) out.rotationKeys(e.id, tracks.rotations), ++summary.keyedTracks;
    }
}

void SceneImport::write(SceneFileWriter& out, ImportSummary& summary) {
    conversion_ = sceneConversion(scene_, options_.scale);
    if (scene_.mNumAnimations > 0 && scene_.mAnimations && scene_.mAnimations[0]) {
        animation_ = scene_.mAnimations[0];
        if (scene_.mNumAnimations > 1)
            report_.warnOnce("animations", "scene files hold one animation: only the first is kept");
        if (animation_->mNumMorphMeshChannels > 0 || animation_->mNumMeshChannels > 0)
            report_.warnOnce("morph", "morph targets are not held by scene files: meshes are kept in their base shape");
        if (animation_->mTicksPerSecond > 0 && std::isfinite(animation_->mTicksPerSecond))
            ticksPerSecond_ = animation_->mTicksPerSecond;
        if (!std::isfinite(animation_->mDuration) || animation_->mDuration < 0)
            throw ImportRefused("the animation's length is not a number");
        for (unsigned i = 0; i < animation_->mNumChannels; ++i)
            if (animation_->mChannels[i]) byName_.emplace(animation_->mChannels[i]->mNodeName.C_Str(), int(i));
        // Every channel and every camera (a track for it and its target) may
        // end up sampled.
        samplesPerTrack_ = samplesPerTrack(std::size_t(animation_->mNumChannels) +
                                           2 * std::min<std::size_t>(scene_.mNumCameras, kMaximumCameras));
    }
    rootMirrored_ = mirrors(conversion_.matrix);
    collectNodes();
    writeMaterials(out, summary);
    writeObjects(out, summary);
    writeCameras(out, summary);
    writeLights(out, summary);
    writeTracks(out, summary);
    out.end();
    summary.textures = textures_.saved();
}

}  // namespace

std::string textureDirectoryFor(const ImportOptions& options) {
    std::string directory = options.textures.empty() ? directoryOf(options.output) + "textures/" : options.textures;
    if (directory.back() != '/') directory += '/';
    return directory;
}

int importScene(const ImportOptions& options, std::FILE* messages, ImportSummary* summary) {
    ImportReport report(messages);
    ImportSummary counts;
    try {
        if (!(options.scale > 0) || !std::isfinite(options.scale)) throw ImportRefused("the scale must be above 0");
        const std::string textureDirectory = textureDirectoryFor(options);
        if (kpx_verbose()) kpx_verbose_off();

        // Large models take a while to read and convert: say what is going on.
        std::error_code unknown;
        const auto inputSize = std::filesystem::file_size(options.input, unknown);
        const bool progress = !unknown && inputSize > kProgressAbove;
        if (progress) std::fprintf(messages, "meshcaster: reading %s\n", options.input.c_str());
        Assimp::Importer importer;
        const aiScene& scene = readModel(importer, options.input, report);
        if (progress) std::fprintf(messages, "meshcaster: writing %s\n", options.output.c_str());
        OutputFiles files;
        TextureExport textures(scene, textureDirectory, directoryOf(options.input), files, report);
        textures.setModelName(options.input);
        SceneFileWriter writer;
        try {
            SceneImport(scene, options, report, textures).write(writer, counts);
        } catch (const std::invalid_argument& bad) {
            throw ImportRefused(bad.what());
        }
        // The scene file is staged last, so it is renamed after its textures.
        if (!writer.save(files.stage(options.output))) throw ImportRefused(options.output + ": cannot write the file");
        std::string error;
        if (!files.commit(&error)) throw ImportRefused(error);
    } catch (const ImportRefused& refused) {
        std::fprintf(messages, "meshcaster: %s: %s\n", options.input.c_str(), refused.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(messages, "meshcaster: %s: out of memory\n", options.input.c_str());
        return 1;
    }
    if (summary) *summary = counts;
    return 0;
}

namespace {

// Removes the files a child process had staged under its temporary names.
void removeStaged(const std::string& directory, pid_t child) {
    std::error_code failure;
    const std::string mark = "." + std::to_string(child) + ".";
    const std::filesystem::path folder =
        directory.empty() ? std::filesystem::path(".") : std::filesystem::path(directory);
    for (std::filesystem::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 5 && name[0] == '.' && name.find(mark) != std::string::npos &&
            name.compare(name.size() - 5, 5, ".part") == 0)
            std::filesystem::remove(it->path(), failure);
    }
}

}  // namespace

int importSceneIsolated(const ImportOptions& options, std::FILE* messages) {
    std::fflush(messages);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {  // no process to spare: in this one
        limitReaderResources();
        return importScene(options, messages);
    }
    if (child == 0) {
        limitReaderResources();
        const int status = importScene(options, messages);
        std::fflush(messages);
        _exit(status);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return std::fprintf(messages, "meshcaster: %s: lost the import\n", options.input.c_str()), 1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return 0;
    // A child that failed may have ended before it could take its files back
    // (out of processor time); its temporary names are its own.
    removeStaged(directoryOf(options.output), child);
    removeStaged(textureDirectoryFor(options), child);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    std::fprintf(messages, "meshcaster: %s: the model reader crashed on the file (signal %d)\n", options.input.c_str(),
                 WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return 1;
}

}  // namespace meshimport
