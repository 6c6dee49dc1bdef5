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
    if (ownedImages && textureLibrary() == ownedImages.get()) setTextureLibrary(nullptr);
}

void Scene::addObject(SceneObject* object) {
    if (!objects) {
        objects = object;
        object->next = object->previous = nullptr;
    } else {
        objects->append(object);
    }
}

void Scene::addCamera(CameraObject* camera) {
    if (!cameras) {
        cameras = camera;
        currentCamera = camera;
        camera->next = camera->previous = nullptr;
    } else {
        cameras->append(camera);
    }
}

void Scene::addLight(LightObject* light) {
    if (!lights) {
        lights = light;
        light->next = light->previous = nullptr;
    } else {
        lights->append(light);
    }
    light->lightNumber = lightCount;
    light->sendColours();
    light->setEnabled(true);
    ++lightCount;
}

void Scene::addMaterial(Material* material) {
    if (!materials) {
        materials = material;
        material->next = material->previous = nullptr;
    } else {
        materials->append(material);
    }
}

SceneObject* Scene::findObject(std::int32_t id) const {
    if (id == 0) return objects;
    if (SceneObject* found = searchList(objects, id)) return found;
    if (SceneObject* found = searchList(lights, id)) return found;
    return searchList(cameras, id);
}

Material* Scene::findMaterial(std::int32_t id) const {
    for (Material* m = materials; m; m = m->next)
        if (m->id == id) return m;
    return nullptr;
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
