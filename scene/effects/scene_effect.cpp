#include "scene/effects/scene_effect.h"

#include "runtime/fatal_error.h"
#include "platform/gl_api.h"
#include "scene/scene_file_reader.h"

SceneEffect::SceneEffect(const char* sceneFile, ImageLibrary& images) : sceneFile_(sceneFile) {
    SceneFileReader reader;
    scene.reset(reader.load(sceneFile, kSceneTextureDirectory, &images));
    if (!scene) fatalError("could not load scene", -1);
}

void endSceneDrawing() {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_BLEND);
}

void SceneEffect::drawScene() const {
    glPushMatrix();
    scene->draw();
    glPopMatrix();
    endSceneDrawing();
}

void SceneEffect::run(int time) {
    if (!scene) return;
    scene->update(sceneTime(time));
    drawScene();
}

void SceneEffect::signal(SignalValue value) {
    if (!scene) return;
    switch (value.code) {
    case SPEED: speed = static_cast<float>(value.intValue); break;
    case NEXT_CAMERA: scene->nextCamera(); break;
    case CAMERA: scene->selectCamera(value.intValue); break;
    case CEL:
        // An id that names no object changes nothing.
        if (SceneObject* object = scene->findObject(value.intValue)) object->setShading(ShadingMode::Cel);
        break;
    case CULLING: scene->setCulling(value.intValue != 0); break;
    default: break;
    }
}

SceneObject& SceneEffect::requireObject(int id) const {
    SceneObject* object = scene ? scene->findObject(id) : nullptr;
    if (!object) {
        const std::string text = "scene " + sceneFile_ + " has no object " + std::to_string(id);
        fatalError(text);
    }
    return *object;
}

Material& SceneEffect::requireFaceMaterial(int id) const {
    auto* mesh = dynamic_cast<MeshObject*>(&requireObject(id));
    Material* material = mesh ? mesh->firstMaterial() : nullptr;
    if (!material) {
        const std::string text = "scene " + sceneFile_ + " has no material on object " + std::to_string(id);
        fatalError(text);
    }
    return *material;
}
