// Every effect of the demo as an object of its own, built in a fixed order and
// registered in the effect table under its fixed id. Members are destroyed in
// the reverse order of their construction.
//
// Ids without a row here stay empty in the table.
#pragma once

#include "app/effect_table.h"
#include "app/frame_target.h"
#include "effects/fade_effect.h"
#include "effects/flash_effect.h"
#include "effects/scratch_effect.h"

class ImageLibrary;

struct DemoEffects {
    static constexpr int kFlashId = 30;
    static constexpr int kFadeId = 31;
    static constexpr int kScratchId = 29;

    // Builds the effects group by group and registers each right after its
    // construction; the loading screen between groups is drawn into target.
    DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target);
    DemoEffects(const DemoEffects&) = delete;
    DemoEffects& operator=(const DemoEffects&) = delete;

    // Group 1: the overlays.
    FlashEffect flash;
    FadeEffect fade;
    ScratchEffect scratch;
};
