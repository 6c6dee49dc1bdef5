// SceneEffect: an effect that plays one scene file. The timeline's init gives
// the start time; every frame the music time becomes scene time at `speed`
// music milliseconds per scene unit, and the scene is updated and drawn.
// Signals switch cameras, the playback rate, culling and cel shading.
//
// The base of every effect that plays a scene: derived effects use the scene,
// the time conversion and requireObject/requireFaceMaterial, which end the
// program when the scene lacks an object the effect works on.
#pragma once

#include "app/effect.h"
#include "scene/scene.h"

#include <memory>
#include <string>

class ImageLibrary;

class SceneEffect : public Effect {
public:
    // Signal codes.
    static constexpr int kSpeedCode = 10;
    static constexpr int kNextCameraCode = 20;
    static constexpr int kSelectCameraCode = 21;
    static constexpr int kCelShadingCode = 122;
    static constexpr int kCullingCode = 123;

    // Where the scenes' textures are looked up by base name.
    static constexpr const char* kTextureDirectory = "data/textures/";

    // Reads the scene with the image library as texture source; a reader that
    // gives no scene ends the program with "could not load scene".
    SceneEffect(const char* sceneFile, ImageLibrary& images);

    void init(int time) override { startTime = time; }
    void run(int time) override;
    void post() override {}
    void signal(SignalValue value) override;

    // Music milliseconds since init turned into scene units at `speed`.
    float sceneTime(int time) const {
        return static_cast<float>(static_cast<long long>(time) - startTime) / speed;
    }

    Scene* getScene() const { return scene.get(); }
    float getSpeed() const { return speed; }
    const std::string& sceneFile() const { return sceneFile_; }

protected:
    // The object with the id; ends the program through fatalError with
    // "scene <file> has no object <id>" when there is none.
    SceneObject& requireObject(int id) const;
    // The material of the object's first face; ends the program naming scene
    // and object when the object is missing, is not a mesh or has no material.
    Material& requireFaceMaterial(int id) const;

    int startTime = 0;
    float speed = 10.0f;
    std::unique_ptr<Scene> scene;

private:
    std::string sceneFile_;
};
