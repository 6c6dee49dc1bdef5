// Reads a ".ppp" scene file, through the ppd_ file layer, into a new Scene:
// meshes, grouping objects, camera targets, cameras, lights, materials with
// their textures (loaded while the file is read) and animation tracks.
//
// Parents must come earlier in the file than their children and owners
// earlier than their controllers; materials may come anywhere, since faces are
// bound to them after the whole file is read.
//
// Parents and owners are found through an index of the ids read so far that
// gives exactly what Scene::findObject's search would give at that point, so
// reading takes time in proportion to the file.
//
// Every failure ends the program through SceneError with the message
// "Error in parsing <file>: <text>\n" (a face without its material: "face
// material not found: <id>\n" on its own).
#pragma once

#include "scene/scene.h"
#include "scene/format/scene_file_format.h"

#include <memory>
#include <string>
#include <unordered_map>

class ImageLibrary;
struct ppd_file;

namespace ppp {
struct Chunk;
}  // namespace ppp

class SceneReader {
public:
    virtual ~SceneReader() = default;
    // The new scene, owned by the caller. The texture directory is where
    // texture base names are looked up (kSceneTextureDirectory). The image
    // library is the texture library of the scene's textures and materials;
    // without one the reader makes a private one that the scene keeps.
    virtual Scene* load(const char* fileName, const char* textureDirectory, ImageLibrary* images) = 0;
};

class SceneFileReader : public SceneReader {
public:
    Scene* load(const char* fileName, const char* textureDirectory, ImageLibrary* images) override;

    // Ends the program with "Error in parsing <file>: <text>\n".
    [[noreturn]] void parseError(const std::string& text) const;

    // Off: materials are read without their texture files (they get no
    // textures and the shading mode of an untextured material); for tools
    // that check a scene without the files it names. On by default.
    void setLoadTextures(bool load) { loadTextures_ = load; }

    // Off (the default): a texture name is reduced to its base name (after
    // the last backslash) and looked up in the texture directory. On: the
    // name is looked up as stored, without a directory, for scenes whose
    // names are paths relative to the image library's own path.
    void setKeepTexturePaths(bool keep) { keepTexturePaths_ = keep; }

    // Objects may be nested at most this deep below a root object.
    static constexpr int kMaximumDepth = ppp::kMaximumNesting;

private:
    void addMesh(const ppp::Chunk& chunk);
    void addDummy(const ppp::Chunk& chunk);
    void addMaterial(const ppp::Chunk& chunk);
    void addCamera(const ppp::Chunk& chunk);
    void addTarget(const ppp::Chunk& chunk);
    void addLight(const ppp::Chunk& chunk);
    void addController(const ppp::Chunk& chunk);

    // Links an object under its parent (or into the root list for parent 0);
    // `kind` (mesh or dummy chunk) chooses the message for a missing parent.
    void link(SceneObject* object, std::int32_t parentId, ppp::ChunkType kind);
    // The texture for a material's texture name; none for an empty name.
    Texture* sceneTexture(const std::string& name);

    // ---- the id index of the scene under construction ----------------------
    // Where findObject's search meets an item: its list (the root list, the
    // lights, the cameras — searched in that order — or a children list), its
    // place in that list, and how deep it hangs.
    enum class Forest { Objects, Lights, Cameras };
    struct Place {
        const SceneObject* parent;  // none for the items of the scene's own lists
        Forest forest;              // for items of the scene's own lists
        std::uint32_t ordinal;      // 0 for the first item of its list
        int depth;                  // 0 for the items of the scene's own lists
    };
    // Records a new item, linked last in its list, and lets it take the
    // index entry of its id when the search would meet it first.
    void enter(SceneObject* item, const SceneObject* parent, Forest forest);
    // True when Scene::findObject's search meets a before b.
    bool searchedBefore(const SceneObject* a, const SceneObject* b) const;
    // What Scene::findObject gives for the id on the scene built so far.
    SceneObject* find(std::int32_t id) const;

    // Makes the library the texture source of the load under way: its
    // textures and the materials' cel palettes load from it.
    void setTextureLibrary(ImageLibrary* library) { textureLibrary_ = library; }

    bool loadTextures_ = true;
    bool keepTexturePaths_ = false;
    ImageLibrary* textureLibrary_ = nullptr;  // for the load under way
    std::string textureDirectory_;
    std::string fileName_;
    ppd_file* file_ = nullptr;
    std::unique_ptr<Scene> scene_;
    std::unordered_map<const SceneObject*, Place> places_;
    // Items in each list so far; the scene's own lists are keyed by none.
    std::unordered_map<const SceneObject*, std::uint32_t> childCount_;
    std::uint32_t forestCount_[3] = {0, 0, 0};
    std::unordered_map<std::int32_t, SceneObject*> firstWithId_;
};
