#include "app/demo_effects.h"

DemoEffects::DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target) : fade(FadeColor{}) {
    (void)images;  // the image-based effects take it when they join
    (void)target;  // the loading screen draws into it
    // Group 1, in the order of construction.
    table.set(kFlashId, &flash);
    table.set(kFadeId, &fade);
    table.set(kScratchId, &scratch);
}
