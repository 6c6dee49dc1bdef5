// MetamoveEffect: plays a scene like every SceneEffect, with a metaball
// surface hung under the scene's object 6, so it takes that object's transform
// and is updated and drawn with the hierarchy. The surface turns slowly about
// its own axes: (s, 2 s, 1.44 s) degrees at scene time s.
#pragma once

#include "scene/effects/scene_effect.h"
#include "scene/metaball/metaball_object.h"

class MetamoveEffect : public SceneEffect {
public:
    static constexpr int kCarrierObject = 6;

    // Loads the scene and the surface's textures and hangs the surface under
    // object 6; a scene without object 6 ends the program naming scene and
    // object.
    MetamoveEffect(const char* sceneFile, ImageLibrary& images);

    void run(int time) override;

    MetaballObject& metaballs() const { return *metaballs_; }

private:
    MetaballObject* metaballs_ = nullptr;  // owned by its carrier in the scene
};
