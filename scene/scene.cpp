#include "scene/scene.h"

#include "imglib/image_library.h"
#include "platform/gl_api.h"
#include "scene/texture.h"

namespace {

// Depth-first pre-order search of a list and the subtrees of its objects.
SceneObject* searchList(SceneObject* first, std::int32_t id) {
    for (SceneObject* o = first; o; o = o->next) {
        if (o->id == id) return o;
        if (SceneObject* found = searchList(o->firstChild(), id)) return found;
    }
    return nullptr;
}

}  // namespace

Scene::~Scene() {
    deleteList(objects);
    deleteList<SceneObject>(cameras);
    deleteList<SceneObject>(lights);
    deleteList(materials);
}

void Scene::addObject(SceneObject* object) { objectsTail_.append(objects, object); }

void Scene::addCamera(CameraObject* camera) {
    SceneObject* head = cameras;
    camerasTail_.append(head, camera);
    if (!cameras) currentCamera = camera;
    cameras = static_cast<CameraObject*>(head);
}

void Scene::addLight(LightObject* light) {
    SceneObject* head = lights;
    lightsTail_.append(head, light);
    lights = static_cast<LightObject*>(head);
    light->lightNumber = lightCount;
    light->sendColours();
    light->setEnabled(true);
    ++lightCount;
}

void Scene::addMaterial(Material* material) {
    materialsTail_.append(materials, material);
    materialIndex_.emplace(material->id, material);  // the first material with an id stays
}

SceneObject* Scene::findObject(std::int32_t id) const {
    if (id == 0) return objects;
    if (SceneObject* found = searchList(objects, id)) return found;
    if (SceneObject* found = searchList(lights, id)) return found;
    return searchList(cameras, id);
}

Material* Scene::findMaterial(std::int32_t id) const {
    // Materials enter the list only through addMaterial, so the index holds
    // the first material of the list with each id.
    const auto found = materialIndex_.find(id);
    return found == materialIndex_.end() ? nullptr : found->second;
}

void Scene::nextCamera() {
    if (!currentCamera) return;
    currentCamera = currentCamera->next ? static_cast<CameraObject*>(currentCamera->next) : cameras;
}

void Scene::selectCamera(std::int32_t id) {
    currentCamera = cameras;
    for (SceneObject* c = cameras; c; c = c->next) {
        if (c->id == id) {
            currentCamera = static_cast<CameraObject*>(c);
            return;
        }
    }
}

void Scene::update(float sceneTime) {
    if (objects) objects->update(sceneTime);
    if (cameras) cameras->update(sceneTime);
    if (lights) lights->update(sceneTime);
}
