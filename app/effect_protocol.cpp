// The protocol table: one entry for every id the start-up registers (the ids,
// classes and scene files are DemoEffects'), with the codes each effect acts
// on. A code an effect inherits but that changes nothing it draws (a layer
// rectangle for an effect that always fills the screen, say) is left out, so
// the table answers "does this signal do anything here?".
#include "app/effect_protocol.h"

#include "app/demo_effects.h"

#include <algorithm>
#include <deque>
#include <string>

namespace {

using U = SignalUnit;
using SC = SignalCodeInfo;
using Codes = std::vector<SignalCodeInfo>;

Codes operator+(Codes a, const Codes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// ---- the texture layer's codes --------------------------------------------

SC duration(const char* meaning, SignalUnit unit = U::Milliseconds) {
    return {LayerEffect::DURATION, "DURATION", unit, meaning};
}

Codes layerRectangle(const char* of) {
    // The meanings live as long as the table; a deque never moves them.
    static std::deque<std::string> keep;
    const auto line = [&](const char* edge) { return keep.emplace_back(std::string(edge) + of).c_str(); };
    return {{LayerEffect::LAYER_X, "LAYER_X", U::Hundredths, line("left edge of ")},
            {LayerEffect::LAYER_Y, "LAYER_Y", U::Hundredths, line("top edge of ")},
            {LayerEffect::LAYER_W, "LAYER_W", U::Hundredths, line("width of ")},
            {LayerEffect::LAYER_H, "LAYER_H", U::Hundredths, line("height of ")}};
}

// BLEND_ON and BLEND_OFF: the alpha the layer draws with.
Codes layerAlpha() {
    return {{LayerEffect::BLEND_ON, "BLEND_ON", U::Number,
             "blending on, alpha = value as it is (0 clear, 1 or more opaque)"},
            {LayerEffect::BLEND_OFF, "BLEND_OFF", U::Ignored, "blending off, alpha back to opaque"}};
}

Codes layerBlend() {
    return layerAlpha() + Codes{{LayerEffect::BLEND_SRC, "BLEND_SRC", U::BlendFactor, "source blend factor"},
                                {LayerEffect::BLEND_DST, "BLEND_DST", U::BlendFactor, "destination blend factor"}};
}

// ---- image sequences ------------------------------------------------------

Codes pictureChoice() {
    return {
        {ImageSequenceEffect::NEXT_PICTURE, "NEXT_PICTURE", U::Ignored,
         "the next picture of the sequence, the first after the last"},
        {ImageSequenceEffect::APPEND, "APPEND", U::Picture, "appends the picture to the sequence"},
        {ImageSequenceEffect::SHOW, "SHOW", U::Picture, "shows the picture at once (it does not join the sequence)"}};
}

Codes glide(bool positions) {
    Codes codes{
        {ImageSequenceEffect::GLIDE_FROM, "GLIDE_FROM", U::MusicTime, "the glide towards the targets starts here"}};
    if (positions)
        codes =
            codes + Codes{{ImageSequenceEffect::TARGET_X, "TARGET_X", U::Hundredths, "glide target of the left edge"},
                          {ImageSequenceEffect::TARGET_Y, "TARGET_Y", U::Hundredths, "glide target of the top edge"}};
    return codes +
           Codes{{ImageSequenceEffect::TARGET_ALPHA, "TARGET_ALPHA", U::Hundredths, "glide target of the alpha"}};
}

Codes imageSequence() {
    return Codes{duration("glide time")} + layerRectangle("the picture") + layerBlend() + glide(true) + pictureChoice();
}

// ---- capture overlays -----------------------------------------------------

SC source(const char* meaning) { return {CaptureEffect::SOURCE, "SOURCE", U::EffectId, meaning, EffectLink::Captures}; }

// ---- scenes ---------------------------------------------------------------

Codes sceneCodes() {
    return {{SceneEffect::SPEED, "SPEED", U::Milliseconds, "music ms per scene frame (10 as built)"},
            {SceneEffect::NEXT_CAMERA, "NEXT_CAMERA", U::Ignored, "the scene's next camera, the first after the last"},
            {SceneEffect::CAMERA, "CAMERA", U::CameraId, "the camera with that id"},
            {SceneEffect::CEL, "CEL", U::ObjectId, "cel shading with outlines for that object and the ones after it"},
            {SceneEffect::CULLING, "CULLING", U::Switch, "back faces culled (1) or drawn (0)"}};
}

EffectProtocol scene(int id, const char* file, const char* draws) {
    return {id, "SceneEffect", draws, sceneCodes(), true, file, SceneEffect::NEXT_CAMERA};
}

using D = DemoEffects;
using Table = std::vector<EffectProtocol>;

// 2D layers and pictures.
void addLayers(Table& t) {
    t.push_back({D::kPictureId, "ImageSequenceEffect",
                 "a sequence of pictures (first rotule.pcx) as a layer gliding in position and alpha",
                 imageSequence()});
    t.push_back({D::kLoadingScreenId, "ImageSequenceEffect",
                 "the loading screen's pictures (kake1.jpg to kake6.jpg, the last one on show) as a layer",
                 imageSequence()});
    t.push_back({D::kSecondPictureId, "ImageSequenceEffect",
                 "a second sequence of pictures (first rotule.pcx) as a layer gliding in position and alpha",
                 imageSequence()});
    t.push_back({D::kLogoId, "LogoEffect",
                 "the logo (vantor.pcx) added to the screen, spread wide and closing in or opening out, with a trail",
                 Codes{duration("time the spread takes")} + layerRectangle("the logo") + pictureChoice() +
                     Codes{{LogoEffect::LOGO_MODE, "LOGO_MODE", U::Choice,
                            "CLOSING 1 closes in from wide, OPENING 2 opens out and fades (counted from INIT)"}},
                 true});
    t.push_back({D::kStarfieldId, "StarfieldEffect",
                 "a picture (stjernebk - morkere.jpg) over the whole screen, scrolling left",
                 Codes{duration("glide time")} + layerBlend() + glide(false) + pictureChoice(), true});
    t.push_back({D::kHorizonId, "HorizonScrollEffect",
                 "a panorama (horisbig1.jpg, horisbig2.jpg, bakgrscroll3.jpg on top) scrolling three screens left",
                 Codes{duration("time the scroll takes (20000 as built)")} + layerBlend(), true});
    t.push_back(
        {D::kNestedZoomId, "NestedZoomEffect", "four nested pictures (zoom0.jpg to zoom3.jpg) zooming out continuously",
         Codes{duration("time constant: the scale falls by 1 % every so many ms (100 as built)")} + layerBlend(),
         true});
    t.push_back(
        {D::kNoiseId, "NoiseEffect", "grey noise over the whole screen, half transparent",
         layerAlpha() + Codes{{NoiseEffect::REROLL, "REROLL", U::Switch, "new noise every frame (1) or frozen (0)"},
                              {NoiseEffect::NOISE_ALPHA, "NOISE_ALPHA", U::Hundredths, "opacity of the noise"}}});
}

// Capture overlays and the wipe: each draws or reveals the effect its SOURCE names.
void addCaptureOverlays(Table& t) {
    t.push_back({D::kZoomBlurId,
                 "ZoomBlurEffect",
                 "the source with a radial blur of bluish copies added over it",
                 {source("the effect drawn and blurred")}});
    t.push_back({D::kMosaicGlowId, "MosaicGlowEffect", "the source with two blocky copies of it added over it",
                 Codes{source("the effect drawn and copied")} + layerAlpha()});
    t.push_back({D::kSwirlId,
                 "SwirlEffect",
                 "the source with 32 turning copies of it added over it",
                 {source("the effect drawn and copied")}});
    t.push_back({D::kAddCaptureId, "AddCaptureEffect", "a blocky copy of the source added to the screen",
                 Codes{source("the effect copied")} + layerAlpha()});
    t.push_back({D::kPictureInPictureId, "PictureInPictureEffect",
                 "the source in a rectangle of the screen (bottom-left quarter as built), with a frame picture",
                 Codes{source("the effect shown in the rectangle")} +
                     Codes{{LayerEffect::LAYER_X, "LAYER_X", U::Hundredths, "left edge of the rectangle"},
                           {LayerEffect::LAYER_Y, "LAYER_Y", U::Hundredths,
                            "bottom edge of the rectangle, from the screen's bottom"},
                           {LayerEffect::LAYER_W, "LAYER_W", U::Hundredths, "width of the rectangle"},
                           {LayerEffect::LAYER_H, "LAYER_H", U::Hundredths, "height of the rectangle"}} +
                     layerBlend() +
                     Codes{{PictureInPictureEffect::FRAME, "FRAME", U::Picture,
                            "a 24-bit picture drawn over the rectangle as its frame"}}});
    t.push_back(
        {D::kWipeId, "WipeEffect",
         "the source, then the WIPE_FROM layer over it through a transition map (wipe1.pcx) that opens up",
         Codes{duration("speed divisor: the threshold grows by (ms since INIT) / value each frame (2000 as built)",
                        U::Number)} +
             Codes{source("the effect uncovered by the wipe")} + layerAlpha() +
             Codes{{WipeEffect::WIPE_FROM, "WIPE_FROM", U::EffectId,
                    "the layer wiped away (gets BLEND_ON, BLEND_SRC, BLEND_DST from the wipe, BLEND_OFF at its END)",
                    EffectLink::Blends},
                   {WipeEffect::THRESHOLD, "THRESHOLD", U::Level255, "the map's grey level the wipe has reached"},
                   {WipeEffect::WIPE_MAP, "WIPE_MAP", U::Picture, "another transition map (256 x 256 grey levels)"}},
         true});
}

// Scenes, the metaball scene, the visor and the glowing stones.
void addScenes(Table& t) {
    t.push_back(scene(D::kVantor2SceneId, D::kVantor2Scene, "the title in three dimensions"));
    t.push_back(scene(D::kModuleSceneId, D::kModuleScene, "the station module"));
    t.push_back(scene(D::kBoostSceneId, D::kBoostScene, "the booster"));
    t.push_back(scene(D::kVantorSceneId, D::kVantorScene, "the chrome logo"));
    t.push_back(scene(D::kArmSceneId, D::kArmScene, "the robot arm"));
    t.push_back(scene(D::kSputnikSceneId, D::kSputnikScene, "the satellite"));
    EffectProtocol metaballs =
        scene(D::kMetamoveId, D::kMetamoveScene, "a scene with a metaball surface hung under object 6");
    metaballs.className = "MetamoveEffect";
    t.push_back(metaballs);
    t.push_back(
        {D::kVisorId,
         "VisorEffect",
         "a reflecting sphere (its scene) between two visor pictures; the source reflected in it and drawn in front",
         {{VisorEffect::SOURCE, "SOURCE", U::EffectId,
           "the effect reflected and drawn in front; a scene is switched to its next camera before each",
           EffectLink::Captures}},
         true,
         D::kVisorScene});
    t.push_back({D::kGlowSceneId,
                 "GlowSceneEffect",
                 "stones in a ring (objects 2, 5, 6, 7), each with a glow that pulses",
                 {{GlowSceneEffect::GLOW_NEXT_CAMERA, "GLOW_NEXT_CAMERA", U::Ignored,
                   "the scene's next camera, the first after the last"},
                  {GlowSceneEffect::GLOW_CAMERA, "GLOW_CAMERA", U::CameraId, "the camera with that id"},
                  {GlowSceneEffect::SPEED, "SPEED", U::Milliseconds, "music ms per scene frame (50 as built)"},
                  {GlowSceneEffect::GLOW_PERIOD, "GLOW_PERIOD", U::Milliseconds,
                   "time between highlight steps and pulses (1070 as built)"},
                  {GlowSceneEffect::GLOW_LEVEL1, "GLOW_LEVEL1", U::Hundredths, "base opacity of the first glow"},
                  {GlowSceneEffect::GLOW_LEVEL2, "GLOW_LEVEL2", U::Hundredths, "base opacity of the second glow"},
                  {GlowSceneEffect::GLOW_LEVEL3, "GLOW_LEVEL3", U::Hundredths, "base opacity of the third glow"},
                  {GlowSceneEffect::GLOW_LEVEL4, "GLOW_LEVEL4", U::Hundredths, "base opacity of the fourth glow"}},
                 true,
                 D::kGlowScene,
                 GlowSceneEffect::GLOW_NEXT_CAMERA});
    t.push_back({D::kParticleId,
                 "ParticleEffect",
                 "a turning spiral cloud of 500 glowing sprites (particle.pcx)",
                 {{ParticleEffect::DURATION, "DURATION", U::Milliseconds, "fade time (1000 after INIT)"},
                  {ParticleEffect::FADE_IN, "FADE_IN", U::Ignored, "fades the cloud in (INIT does too)"},
                  {ParticleEffect::FADE_OUT, "FADE_OUT", U::Ignored, "fades the cloud out"}},
                 true});
}

// Full-screen overlays over whatever is drawn.
void addOverlays(Table& t) {
    t.push_back(
        {D::kScratchId, "ScratchEffect", "dark vertical scratches over the whole screen, re-rolled every 50 ms", {}});
    t.push_back({D::kFlashId,
                 "FlashEffect",
                 "a white flash over the whole screen, gone after 20 frames (needs no START)",
                 {{FlashEffect::ONCE, "ONCE", U::Ignored, "one flash"},
                  {FlashEffect::EVERY, "EVERY", U::Milliseconds, "a flash now and then one every value ms"}}});
    t.push_back(
        {D::kFadeId,
         "FadeEffect",
         "the screen fading to or from a colour (black as built)",
         {{FadeEffect::CLEAR_AT, "CLEAR_AT", U::MusicTime, "from full colour at INIT to clear at this time"},
          {FadeEffect::COLOUR_AT, "COLOUR_AT", U::MusicTime, "from clear at INIT to full colour at this time"},
          {FadeEffect::COLOUR_OVER, "COLOUR_OVER", U::Milliseconds, "from clear at INIT to full colour in value ms"},
          {FadeEffect::CLEAR_OVER, "CLEAR_OVER", U::Milliseconds, "from full colour at INIT to clear in value ms"},
          {FadeEffect::RED, "RED", U::Level255, "red of the colour"},
          {FadeEffect::GREEN, "GREEN", U::Level255, "green of the colour"},
          {FadeEffect::BLUE, "BLUE", U::Level255, "blue of the colour"}},
         true});
}

Table buildTable() {
    Table t;
    addLayers(t);
    addCaptureOverlays(t);
    addScenes(t);
    addOverlays(t);
    for (EffectProtocol& e : t)
        std::stable_sort(e.codes.begin(), e.codes.end(), [](const SC& a, const SC& b) { return a.code < b.code; });
    std::sort(t.begin(), t.end(), [](const EffectProtocol& a, const EffectProtocol& b) { return a.id < b.id; });
    return t;
}

}  // namespace

const SignalCodeInfo* EffectProtocol::findCode(int code) const {
    for (const SignalCodeInfo& c : codes)
        if (c.code == code) return &c;
    return nullptr;
}

const std::vector<EffectProtocol>& effectProtocols() {
    static const std::vector<EffectProtocol> table = buildTable();
    return table;
}

const EffectProtocol* findEffectProtocol(int id) {
    for (const EffectProtocol& e : effectProtocols())
        if (e.id == id) return &e;
    return nullptr;
}

const char* signalUnitName(SignalUnit unit) {
    switch (unit) {
    case U::Number: return "number";
    case U::Hundredths: return "hundredths";
    case U::Milliseconds: return "ms";
    case U::MusicTime: return "music time (ms)";
    case U::Level255: return "0-255";
    case U::Switch: return "0 or 1";
    case U::Choice: return "choice";
    case U::BlendFactor: return "blend factor";
    case U::EffectId: return "effect id";
    case U::ObjectId: return "object id";
    case U::CameraId: return "camera id";
    case U::Picture: return "picture file name";
    case U::Ignored: return "any";
    }
    return "";
}

const char* effectLinkName(EffectLink link) {
    switch (link) {
    case EffectLink::None: return "";
    case EffectLink::Captures: return "draws";
    case EffectLink::Blends: return "blends";
    }
    return "";
}
