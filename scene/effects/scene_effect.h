// SceneEffect: an effect that plays one scene file. The timeline's init gives
// the start time; every frame the music time becomes scene time at `speed`
// music milliseconds per scene unit, and the scene is updated and drawn.
// Signals switch cameras, the playback rate, culling and cel shading.
//
// The base of every effect that plays a scene: derived effects use the scene,
// the time conversion and requireObject/requireFaceMaterial, which end the
// program when the scene lacks an object the effect works on.
#pragma once

#include "runtime/effect.h"
#include "scene/scene.h"

#include <memory>
#include <string>

class ImageLibrary;

// Switches off what drawing a scene leaves on and the effect contract
// (runtime/effect.h) does not allow an effect to leave: 2D texturing on both
// units and 1D texturing on unit 0, and blending; unit 0 is left selected.
void endSceneDrawing();

class SceneEffect : public Effect {
public:
    // Signal codes (value = the integer of the signal).
    static constexpr int SPEED = 10;        // music ms per scene time unit
    static constexpr int NEXT_CAMERA = 20;  // the camera after the current one
    static constexpr int CAMERA = 21;       // the camera with that id (the first when none has it)
    static constexpr int CEL = 122;         // cel shading for the object with that id
    static constexpr int CULLING = 123;     // back faces culled (value not 0) or drawn (0)

    // Reads the scene with the image library as texture source; a reader that
    // gives no scene ends the program with "could not load scene".
    SceneEffect(const char* sceneFile, ImageLibrary& images);

    void init(int time) override { startTime = time; }
    void run(int time) override;
    void post() override {}
    void signal(SignalValue value) override;

    // The code that switches this effect to its next camera; effects that
    // drive a scene effect's cameras (the visor) send this one.
    virtual int nextCameraCode() const { return NEXT_CAMERA; }

    // Music milliseconds since init turned into scene units at `speed`.
    float sceneTime(int time) const { return static_cast<float>(static_cast<long long>(time) - startTime) / speed; }

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

    // Draws the scene within the effect contract: the modelview the camera
    // loads is popped again, and what the materials leave on (see
    // endSceneDrawing) is switched off.
    void drawScene() const;

    int startTime = 0;
    float speed = 10.0f;
    std::unique_ptr<Scene> scene;

private:
    std::string sceneFile_;
};
