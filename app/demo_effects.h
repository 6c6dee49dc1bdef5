// Every effect of the demo as an object of its own, built group by group in a
// fixed order, each registered in the effect table under its fixed id right
// after its construction. Members are built in declaration order and destroyed
// in the reverse order, so the order of the rows below is the start-up order.
//
// To add a row: declare a RegisteredEffect member in its group, in the table's
// order, with its id and constructor data; images come through image(name),
// which ends the program naming the file when it cannot be loaded. Between
// groups a StartupStep member does the work that has no effect of its own.
//
// Ids without a row here stay empty in the table.
#pragma once

#include "app/effect_table.h"
#include "app/frame_target.h"
#include "app/registered_effect.h"
#include "effects/add_capture_effect.h"
#include "effects/fade_effect.h"
#include "effects/flash_effect.h"
#include "effects/mosaic_glow_effect.h"
#include "effects/picture_in_picture_effect.h"
#include "effects/scratch_effect.h"
#include "effects/swirl_effect.h"
#include "effects/zoom_blur_effect.h"

class ImageLibrary;
struct kpximage;

// A start-up action between rows (an empty value: the action happens while
// the member is initialised).
struct StartupStep {};

struct DemoEffects {
    static constexpr int kFlashId = 30;
    static constexpr int kFadeId = 31;
    static constexpr int kScratchId = 29;
    static constexpr int kMosaicGlowId = 10;
    static constexpr int kZoomBlurId = 9;
    static constexpr int kAddCaptureId = 14;
    static constexpr int kSwirlId = 13;
    static constexpr int kPictureInPictureId = 24;

    // Builds the effects group by group and registers each right after its
    // construction; the loading screen between groups is drawn into target.
    DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target);
    DemoEffects(const DemoEffects&) = delete;
    DemoEffects& operator=(const DemoEffects&) = delete;

private:
    // What the rows below are built with; declared first, so set first.
    EffectTable& table_;
    ImageLibrary& images_;
    FrameTarget& target_;

    // The cached image for name under the image directory; a file that
    // cannot be loaded ends the program with a message naming it.
    kpximage* image(const char* name);

public:
    // ---- Group 0 -------------------------------------------------------

    // ---- Group 1 -------------------------------------------------------
    RegisteredEffect<FlashEffect> flash{table_, kFlashId};
    RegisteredEffect<FadeEffect> fade{table_, kFadeId, FadeColor{}};
    RegisteredEffect<ScratchEffect> scratch{table_, kScratchId};
    RegisteredEffect<MosaicGlowEffect> mosaicGlow{table_, kMosaicGlowId, &images_};

    // ---- Group 2 -------------------------------------------------------
    RegisteredEffect<ZoomBlurEffect> zoomBlur{table_, kZoomBlurId, &images_};
    RegisteredEffect<AddCaptureEffect> addCapture{table_, kAddCaptureId, &images_};

    // ---- Group 3 -------------------------------------------------------
    RegisteredEffect<SwirlEffect> swirl{table_, kSwirlId, &images_};
    RegisteredEffect<PictureInPictureEffect> pictureInPicture{table_, kPictureInPictureId, &images_};

    // ---- Group 4 -------------------------------------------------------

    // ---- Group 5 -------------------------------------------------------

    // ---- Group 6 -------------------------------------------------------
};
