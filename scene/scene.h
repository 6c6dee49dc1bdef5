// A Scene holds what one scene file describes: the object hierarchy (its root
// list), the cameras with one current camera, the lights and the materials.
// The scene owns everything in its lists.
//
// Per frame a player sets the scene time (update) and then draws (draw).
#pragma once

#include "scene/material.h"
#include "scene/mesh_object.h"
#include "scene/object_kinds.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

class ImageLibrary;

class Scene {
public:
    Scene() = default;
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // ---- building ----------------------------------------------------------
    void addObject(SceneObject* object);
    // The first camera becomes the current one.
    void addCamera(CameraObject* camera);
    // Numbers the light, sends its colours to OpenGL and switches it on.
    void addLight(LightObject* light);
    // Materials enter the list only here (findMaterial relies on it).
    void addMaterial(Material* material);

    // ---- look-ups ------------------------------------------------------------
    // Id 0: the first root object. Otherwise the first object with the id in a
    // depth-first pre-order walk of the root list, then the lights, then the
    // cameras; none when nothing has it.
    SceneObject* findObject(std::int32_t id) const;
    Material* findMaterial(std::int32_t id) const;

    // ---- cameras and switches -------------------------------------------------
    // The camera after the current one, wrapping to the first. Nothing without cameras.
    void nextCamera();
    // The first camera with the id, or the first camera when none has it.
    void selectCamera(std::int32_t id);
    void setCulling(bool on) { culling = on; }

    // ---- per frame --------------------------------------------------------------
    // Evaluates the tracks of every object, camera and light at the scene time.
    void update(float sceneTime);
    // Lighting, culling, the camera, the lights, then the whole hierarchy.
    void draw();

    SceneObject* objects = nullptr;
    CameraObject* cameras = nullptr;
    CameraObject* currentCamera = nullptr;
    int lightCount = 0;
    LightObject* lights = nullptr;
    Material* materials = nullptr;
    bool culling = true;

    // The image cache the reader made for this scene when it was given none;
    // its records back the scene's textures, so it lives as long as the scene.
    std::unique_ptr<ImageLibrary> ownedImages;

private:
    // The ends of the lists, so that building a scene of n items takes time in n.
    ListTail<SceneObject> objectsTail_, camerasTail_, lightsTail_;
    ListTail<Material> materialsTail_;
    // The first material of the list with each id.
    std::unordered_map<std::int32_t, Material*> materialIndex_;
};
