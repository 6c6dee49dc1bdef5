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
// The loading screen (id 1, "kake1.jpg" to "kake6.jpg") is drawn after group
// 0 and after each of groups 1 to 5, outside the table's frame passes: its
// post, then a swap of the target; from group 1 on it first advances to the
// next image. Nothing is cleared in between: each picture covers the screen.
//
// Ids without a row here stay empty in the table.
#pragma once

#include "runtime/effect_table.h"
#include "app/frame_target.h"
#include "runtime/registered_effect.h"
#include "runtime/startup_files.h"
#include "effects/add_capture_effect.h"
#include "effects/fade_effect.h"
#include "effects/flash_effect.h"
#include "effects/horizon_scroll_effect.h"
#include "effects/image_sequence_effect.h"
#include "effects/logo_effect.h"
#include "effects/mosaic_glow_effect.h"
#include "effects/nested_zoom_effect.h"
#include "effects/noise_effect.h"
#include "effects/particle_effect.h"
#include "effects/picture_in_picture_effect.h"
#include "effects/scratch_effect.h"
#include "effects/starfield_effect.h"
#include "effects/swirl_effect.h"
#include "effects/wipe_effect.h"
#include "effects/zoom_blur_effect.h"
#include "scene/effects/glow_scene_effect.h"
#include "scene/effects/metamove_effect.h"
#include "scene/effects/scene_effect.h"
#include "scene/effects/visor_effect.h"

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
    static constexpr int kWipeId = 12;
    static constexpr int kParticleId = 21;
    static constexpr int kLoadingScreenId = 1;
    static constexpr int kPictureId = 0;
    static constexpr int kSecondPictureId = 25;
    static constexpr int kNoiseId = 28;
    static constexpr int kStarfieldId = 7;
    static constexpr int kLogoId = 22;
    static constexpr int kHorizonId = 5;
    static constexpr int kNestedZoomId = 6;
    static constexpr const char* kLoadingImages[] = {"kake1.jpg", "kake2.jpg", "kake3.jpg",
                                                     "kake4.jpg", "kake5.jpg", "kake6.jpg"};
    static constexpr int kVantor2SceneId = 15;
    static constexpr const char* kVantor2Scene = "data/vantor2.ppp";
    static constexpr int kArmSceneId = 23;
    static constexpr const char* kArmScene = "data/arm.ppp";
    static constexpr int kModuleSceneId = 16;
    static constexpr const char* kModuleScene = "data/modul2.ppp";
    static constexpr int kBoostSceneId = 17;
    static constexpr const char* kBoostScene = "data/boost.ppp";
    static constexpr int kVantorSceneId = 18;
    static constexpr const char* kVantorScene = "data/vantor.ppp";
    static constexpr int kMetamoveId = 2;
    static constexpr const char* kMetamoveScene = "data/metamove.ppp";
    static constexpr int kSputnikSceneId = 26;
    static constexpr const char* kSputnikScene = "data/sputnik.ppp";
    static constexpr int kVisorId = 19;
    static constexpr const char* kVisorScene = "data/sphere.ppp";
    static constexpr int kGlowSceneId = 20;
    static constexpr const char* kGlowScene = "data/steiner.ppp";

    // Builds the effects group by group and registers each right after its
    // construction; the loading screen between groups is drawn into target
    // (not at all without loadingScreen: a rebuild while the show plays; the
    // sequence still moves on to its last picture).
    // files: what the demo started from; its image directory is the cache's
    // base directory again after the scene groups.
    DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target, const StartupFiles& files,
                bool loadingScreen = true);
    DemoEffects(const DemoEffects&) = delete;
    DemoEffects& operator=(const DemoEffects&) = delete;

private:
    // What the rows below are built with; declared first, so set first.
    EffectTable& table_;
    ImageLibrary& images_;
    FrameTarget& target_;
    StartupFiles files_;
    bool loadingScreen_;

    // The cached image for name under the image directory; a file that
    // cannot be loaded ends the program with a message naming it.
    kpximage* image(const char* name);

    // The rest of the loading screen's images, appended in order.
    StartupStep appendLoadingImages();
    // One loading-screen frame: advance (from group 1 on), post, swap.
    StartupStep showLoadingScreen(bool advance);

    // Before the first scene: scene files name their images with their own
    // paths, so the cache's base directory is emptied, and textures are looked
    // up by base name in the scenes' texture directory.
    StartupStep beginScenes();
    // After the last scene: images are named under the start-up files' image
    // directory again.
    StartupStep endScenes();
    // Culling off for a scene seen from inside (signal CULLING with 0, sent
    // straight to the effect, not through the timeline).
    static StartupStep cullingOff(SceneEffect& effect);

public:
    // ---- Group 0 -------------------------------------------------------
    RegisteredEffect<ImageSequenceEffect> loadingScreen{table_, kLoadingScreenId, &images_, image(kLoadingImages[0])};
    StartupStep loadingImagesAppended = appendLoadingImages();
    StartupStep group0Shown = showLoadingScreen(false);

    // ---- Group 1 -------------------------------------------------------
    RegisteredEffect<ImageSequenceEffect> picture{table_, kPictureId, &images_, image("rotule.pcx")};
    RegisteredEffect<FlashEffect> flash{table_, kFlashId};
    RegisteredEffect<FadeEffect> fade{table_, kFadeId, FadeColor{}};
    RegisteredEffect<ScratchEffect> scratch{table_, kScratchId};
    RegisteredEffect<NoiseEffect> noise{table_, kNoiseId};
    RegisteredEffect<ImageSequenceEffect> secondPicture{table_, kSecondPictureId, &images_, image("rotule.pcx")};
    RegisteredEffect<StarfieldEffect> starfield{table_, kStarfieldId, &images_, image("stjernebk - morkere.jpg")};
    RegisteredEffect<MosaicGlowEffect> mosaicGlow{table_, kMosaicGlowId, &images_};
    StartupStep group1Shown = showLoadingScreen(true);

    // ---- Group 2 -------------------------------------------------------
    RegisteredEffect<ZoomBlurEffect> zoomBlur{table_, kZoomBlurId, &images_};
    RegisteredEffect<WipeEffect> wipe{table_, kWipeId, &images_, "wipe1.pcx"};
    RegisteredEffect<AddCaptureEffect> addCapture{table_, kAddCaptureId, &images_};
    StartupStep group2Shown = showLoadingScreen(true);

    // ---- Group 3 -------------------------------------------------------
    RegisteredEffect<SwirlEffect> swirl{table_, kSwirlId, &images_};
    RegisteredEffect<LogoEffect> logo{table_, kLogoId, &images_, image("vantor.pcx")};
    RegisteredEffect<PictureInPictureEffect> pictureInPicture{table_, kPictureInPictureId, &images_};
    // The sprite is brought to 32 bits and channel-swapped in the cache.
    RegisteredEffect<ParticleEffect> particles{table_, kParticleId, makeParticleSprite(image("particle.pcx"))};
    RegisteredEffect<HorizonScrollEffect> horizon{table_, kHorizonId, images_};
    RegisteredEffect<NestedZoomEffect> nestedZoom{table_, kNestedZoomId, images_};
    StartupStep group3Shown = showLoadingScreen(true);

    // ---- Group 4 -------------------------------------------------------
    StartupStep sceneLookup = beginScenes();
    RegisteredEffect<SceneEffect> vantor2Scene{table_, kVantor2SceneId, kVantor2Scene, images_};
    StartupStep vantor2Culling = cullingOff(vantor2Scene);
    RegisteredEffect<SceneEffect> armScene{table_, kArmSceneId, kArmScene, images_};
    StartupStep group4Shown = showLoadingScreen(true);

    // ---- Group 5 -------------------------------------------------------
    RegisteredEffect<SceneEffect> moduleScene{table_, kModuleSceneId, kModuleScene, images_};
    RegisteredEffect<SceneEffect> boostScene{table_, kBoostSceneId, kBoostScene, images_};
    RegisteredEffect<SceneEffect> vantorScene{table_, kVantorSceneId, kVantorScene, images_};
    StartupStep vantorCulling = cullingOff(vantorScene);
    RegisteredEffect<MetamoveEffect> metamoveScene{table_, kMetamoveId, kMetamoveScene, images_};
    StartupStep group5Shown = showLoadingScreen(true);

    // ---- Group 6 -------------------------------------------------------
    RegisteredEffect<SceneEffect> sputnikScene{table_, kSputnikSceneId, kSputnikScene, images_};
    RegisteredEffect<VisorEffect> visor{table_, kVisorId, kVisorScene, images_};
    RegisteredEffect<GlowSceneEffect> glowScene{table_, kGlowSceneId, kGlowScene, "data/images/holemap.jpg", images_};
    // Group 6 is not followed by a loading-screen frame.
    StartupStep imageDirectory = endScenes();
};
