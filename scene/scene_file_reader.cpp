#include "scene/scene_file_reader.h"

#include "imglib/image_library.h"
#include "libs/ppd/ppd.h"
#include "scene/format/scene_chunk_decoder.h"
#include "scene/scene_error.h"

#include <cstring>
#include <utility>
#include <vector>

using namespace ppp;

namespace {

// Closes the file layer handle however the reader leaves.
struct FileCloser {
    ppd_file*& file;
    ~FileCloser() {
        if (file) ppd_close(file);
        file = nullptr;
    }
};

}  // namespace

void SceneFileReader::parseError(const std::string& text) const { SceneError(parseErrorMessage(fileName_, text)); }

Scene* SceneFileReader::load(const char* fileName, const char* textureDirectory, ImageLibrary* images) {
    // The library given, or a new one that the scene will own, is the texture
    // library of everything this load makes.
    std::unique_ptr<ImageLibrary> ownImages;
    if (!images) {
        ownImages = std::make_unique<ImageLibrary>();
        images = ownImages.get();
    }
    setTextureLibrary(images);

    textureDirectory_ = textureDirectory ? textureDirectory : "";
    fileName_ = fileName ? fileName : "";
    places_.clear();
    childCount_.clear();
    firstWithId_.clear();
    for (std::uint32_t& count : forestCount_) count = 0;
    file_ = ppd_open(fileName_.c_str());
    FileCloser closer{file_};
    if (!file_) parseError(errors::kCouldNotOpen);

    ChunkDecoder decoder(file_);
    if (!decoder.readLeadWord()) parseError(errors::kNotASceneFile);

    scene_ = std::make_unique<Scene>();
    scene_->ownedImages = std::move(ownImages);

    auto chunk = std::make_unique<Chunk>();
    for (;;) {
        const ChunkDecoder::Result result = decoder.next(*chunk);
        if (result == ChunkDecoder::Result::Error) parseError(decoder.error());
        // Data that ends where a chunk header would start ends the scene as an
        // end chunk would.
        if (result == ChunkDecoder::Result::EndOfData) break;
        switch (chunk->type) {
        case kMeshChunk: addMesh(*chunk); break;
        case kDummyChunk: addDummy(*chunk); break;
        case kMaterialChunk: addMaterial(*chunk); break;
        case kCameraChunk: addCamera(*chunk); break;
        case kTargetChunk: addTarget(*chunk); break;
        case kLightChunk: addLight(*chunk); break;
        case kControllerChunk: addController(*chunk); break;
        default: break;
        }
        if (chunk->type == kEndChunk) break;
    }

    if (scene_->objects) {
        scene_->objects->prepareGeometry();
        scene_->objects->bindMaterials(*scene_);
    }
    return scene_.release();
}

void SceneFileReader::enter(SceneObject* item, const SceneObject* parent, Forest forest) {
    std::uint32_t& count = parent ? childCount_[parent] : forestCount_[static_cast<int>(forest)];
    const int depth = parent ? places_.at(parent).depth + 1 : 0;
    places_[item] = Place{parent, forest, count++, depth};
    auto [entry, added] = firstWithId_.emplace(item->id, item);
    if (!added && searchedBefore(item, entry->second)) entry->second = item;
}

bool SceneFileReader::searchedBefore(const SceneObject* a, const SceneObject* b) const {
    const Place* pa = &places_.at(a);
    const Place* pb = &places_.at(b);
    // Bring both to the same depth; an ancestor is met before its descendants.
    while (pa->depth > pb->depth) {
        if (pa->parent == b) return false;
        a = pa->parent;
        pa = &places_.at(a);
    }
    while (pb->depth > pa->depth) {
        if (pb->parent == a) return true;
        b = pb->parent;
        pb = &places_.at(b);
    }
    // Climb to the first pair of items in one list; their order decides.
    while (pa->parent != pb->parent) {
        a = pa->parent;
        pa = &places_.at(a);
        b = pb->parent;
        pb = &places_.at(b);
    }
    if (!pa->parent && pa->forest != pb->forest) return pa->forest < pb->forest;
    return pa->ordinal < pb->ordinal;
}

SceneObject* SceneFileReader::find(std::int32_t id) const {
    if (id == 0) return scene_->objects;  // id 0: the first root object
    const auto found = firstWithId_.find(id);
    return found == firstWithId_.end() ? nullptr : found->second;
}

void SceneFileReader::link(SceneObject* object, std::int32_t parentId, ChunkType kind) {
    if (parentId == 0) {
        scene_->addObject(object);
        enter(object, nullptr, Forest::Objects);
        return;
    }
    SceneObject* parent = find(parentId);
    if (!parent) parseError(errors::missingParent(kind, object->id, parentId));
    if (!nestingAllowed(places_.at(parent).depth)) parseError(errors::nestedTooDeep(object->id));
    parent->addChild(object);
    enter(object, parent, Forest::Objects);
}

void SceneFileReader::addMesh(const Chunk& chunk) {
    const MeshRecord& r = chunk.mesh;
    std::unique_ptr<MeshObject> mesh;
    if (isBillboardName(r.name))
        mesh = std::make_unique<BillboardObject>();
    else
        mesh = std::make_unique<MeshObject>();
    mesh->id = r.id;
    mesh->name = r.name;
    mesh->setPosition(r.position);
    mesh->setRotation(r.rotation.toMatrix());
    mesh->setScale(r.scale);

    std::vector<Vec2> coords(r.texCoords.size());
    for (std::size_t i = 0; i < coords.size(); ++i) coords[i] = Vec2(r.texCoords[i].u, -r.texCoords[i].v);
    std::vector<Vec3> positions = r.vertices;
    // The decoder has checked every index, so the geometry is always taken.
    if (!mesh->setGeometry(std::move(positions), std::move(coords), r.faces))
        parseError(errors::faceOutsideGeometry(r.id));

    SceneObject* object = mesh.get();
    link(object, r.parentId, kMeshChunk);
    mesh.release();
}

void SceneFileReader::addDummy(const Chunk& chunk) {
    const DummyRecord& r = chunk.dummy;
    auto dummy = std::make_unique<DummyObject>();
    dummy->id = r.id;
    dummy->setPosition(r.position);
    dummy->setRotation(r.rotation.toMatrix());
    dummy->setScale(r.scale);
    link(dummy.get(), r.parentId, kDummyChunk);
    dummy.release();
}

void SceneFileReader::addTarget(const Chunk& chunk) {
    auto target = std::make_unique<TargetObject>();
    target->id = chunk.target.id;
    target->setPosition(chunk.target.position);
    scene_->addObject(target.get());
    enter(target.release(), nullptr, Forest::Objects);
}

void SceneFileReader::addCamera(const Chunk& chunk) {
    auto camera = std::make_unique<CameraObject>();
    camera->setPosition(chunk.camera.eye);
    camera->id = chunk.camera.id;
    camera->targetId = chunk.camera.targetId;
    scene_->addCamera(camera.get());
    enter(camera.release(), nullptr, Forest::Cameras);
}

void SceneFileReader::addLight(const Chunk& chunk) {
    const LightRecord& r = chunk.light;
    auto light = std::make_unique<LightObject>();
    light->setPosition(r.position);
    light->diffuse = r.colour;
    light->specular = r.colour;
    light->ambient = lightAmbient(r.colour);
    light->id = r.id;
    scene_->addLight(light.get());
    enter(light.release(), nullptr, Forest::Lights);
}

Texture* SceneFileReader::sceneTexture(const std::string& stored) {
    if (stored.empty() || !loadTextures_) return nullptr;
    std::string name = stored;
    const char* directory = nullptr;
    if (!keepTexturePaths_) {
        const std::size_t slash = stored.rfind('\\');
        if (slash != std::string::npos) name = stored.substr(slash + 1);
        directory = textureDirectory_.c_str();
    }
    Texture* texture = loadTexture(textureLibrary_, name.c_str(), directory);
    if (!texture) parseError(errors::textureNotLoaded(name));
    return texture;
}

void SceneFileReader::addMaterial(const Chunk& chunk) {
    const MaterialRecord& r = chunk.material;
    auto material = std::make_unique<Material>(textureLibrary_);
    material->ambient = r.ambient;
    material->diffuse = r.diffuse;
    material->specular = r.specular;
    material->shininess = 128.0f * r.shininess;
    material->shininessStrength = r.shininessStrength;
    material->twoSided = r.twoSided != 0;
    material->id = r.id;

    Texture* base = material->keepTexture(sceneTexture(r.textures[0]));
    if (base) material->setBaseTexture(base);
    Texture* reflection = material->keepTexture(sceneTexture(r.textures[1]));
    if (reflection) material->setReflectionTexture(reflection);
    Texture* additive = material->keepTexture(sceneTexture(r.textures[2]));
    if (additive) {
        material->setBaseTexture(additive);
        material->additive = true;
    }

    material->shading = shadingFromTextures(base, reflection, additive);
    scene_->addMaterial(material.release());
}

void SceneFileReader::addController(const Chunk& chunk) {
    const ControllerRecord& r = chunk.controller;
    SceneObject* owner = find(r.ownerId);
    if (!owner) parseError(errors::kMissingOwner);

    if (r.controllerClass == kKeyFramedClass && r.kind == kPositionTrack) {
        std::vector<PositionKey> keys(r.positionKeys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const PositionKeyRecord& in = r.positionKeys[i];
            keys[i].frame = static_cast<std::int16_t>(static_cast<std::uint16_t>(in.frame & 0xFFFF));
            keys[i].position = in.position;
            keys[i].tension = in.tension;
            keys[i].continuity = in.continuity;
            keys[i].bias = in.bias;
            keys[i].easeTo = in.easeTo;
            keys[i].easeFrom = in.easeFrom;
        }
        owner->setPositionKeys(r.count, std::move(keys));
    } else if (r.controllerClass == kKeyFramedClass && r.kind == kRotationTrack) {
        std::vector<RotationKey> keys(r.rotationKeys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            keys[i].frame = static_cast<std::int16_t>(static_cast<std::uint16_t>(r.rotationKeys[i].frame & 0xFFFF));
            keys[i].orientation = r.rotationKeys[i].orientation;
        }
        owner->setRotationKeys(r.count, std::move(keys));
    } else if (r.controllerClass == kSampledClass) {
        std::vector<Vec3> positions(r.samples.size());
        std::vector<Quaternion> rotations(r.samples.size());
        for (std::size_t i = 0; i < r.samples.size(); ++i) {
            positions[i] = r.samples[i].position;
            rotations[i] = r.samples[i].rotation;
        }
        owner->setSampledPositions(r.count, std::move(positions));
        owner->setSampledRotations(r.count, std::move(rotations));
        owner->setSampleInterval(r.interval);
    }
}
