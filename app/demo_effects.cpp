#include "app/demo_effects.h"

DemoEffects::DemoEffects(EffectTable& table, ImageLibrary& images) : fade(FadeColor{}) {
    (void)images;  // the image-based effects take it when they join
    // Group 1, in the order of construction.
    table.set(kFlashId, &flash);
    table.set(kFadeId, &fade);
    table.set(kScratchId, &scratch);
}
