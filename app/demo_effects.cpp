#include "app/demo_effects.h"

#include "runtime/startup_files.h"
#include "effects/required_image.h"
#include "imglib/image_library.h"
#include "scene/texture.h"

#include <iterator>

DemoEffects::DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target, const StartupFiles& files,
                         bool loadingScreen)
    : table_(table), images_(images), target_(target), files_(files), loadingScreen_(loadingScreen) {}

kpximage* DemoEffects::image(const char* name) { return requireImage(images_, name); }

StartupStep DemoEffects::appendLoadingImages() {
    for (std::size_t i = 1; i < std::size(kLoadingImages); ++i) loadingScreen.append(image(kLoadingImages[i]));
    return {};
}

StartupStep DemoEffects::showLoadingScreen(bool advance) {
    // The sequence moves on in a rebuild too, where nothing is drawn: the
    // show's first bars play its last picture (the finished title), so fresh
    // effects must stand on the same picture as those of the start-up.
    if (advance) loadingScreen.advance();
    if (!loadingScreen_) return {};
    loadingScreen.post();
    target_.swapBuffers();
    return {};
}

StartupStep DemoEffects::beginScenes() {
    images_.setPath("");
    return {};
}

StartupStep DemoEffects::endScenes() {
    images_.setPath(files_.imagePath);
    return {};
}

StartupStep DemoEffects::cullingOff(SceneEffect& effect) {
    effect.signal(SignalValue(SceneEffect::CULLING, 0));
    return {};
}
