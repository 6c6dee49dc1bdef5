#include "scene/effects/metamove_effect.h"

MetamoveEffect::MetamoveEffect(const char* sceneFile, ImageLibrary& images) : SceneEffect(sceneFile, images) {
    SceneObject& carrier = requireObject(kCarrierObject);
    metaballs_ = new MetaballObject(images);
    carrier.addChild(metaballs_);
}

void MetamoveEffect::run(int time) {
    if (!scene) return;
    const float s = sceneTime(time);
    scene->update(s);
    metaballs_->setEulerDegrees(s, 2 * s, 1.44f * s);
    drawScene();
}
