// VisorEffect: a scene (a reflective sphere) seen through a helmet visor. A
// full-screen visor image is drawn behind the scene and a second one in front.
// Another effect of the table, the source (SOURCE), is rendered every frame
// into a 256 x 256 texture that object 1's material shows as its reflection,
// and drawn once more over everything at the end. Before each of the two draws
// the source is switched to its next camera with the code that source takes
// for it (a scene effect's nextCameraCode; NEXT_CAMERA for any other effect),
// so a scene effect as source shows one camera in the reflection and the next
// in front.
//
// The scene runs at ten times the usual rate; signals other than SOURCE are
// ignored, the scene effects' codes included.
#pragma once

#include "effects/drawn_effects.h"
#include "scene/effects/scene_effect.h"
#include "scene/texture.h"

#include <memory>

class VisorEffect : public SceneEffect, public DrawsOtherEffects {
public:
    // Signal code: the source effect by id.
    static constexpr int SOURCE = 70;
    static constexpr int kCaptureSize = 256;
    static constexpr const char* kFullVisorImage = "visir_full2.tga";
    static constexpr const char* kFrontVisorImage = "visir_front3.tga";
    static constexpr const char* kImageDirectory = "data/images/";

    // Loads the scene, the render texture and the two visor images, and
    // switches object 1's material to the mirrored sphere map (ShadingMode::MirroredSphereMap).
    // Ends the program when an image cannot be loaded or the scene has no
    // object 1 with a face material.
    VisorEffect(const char* sceneFile, ImageLibrary& images);

    void run(int time) override;
    void post() override {}
    // SOURCE: source = the table's effect with that id (none for an empty slot,
    // an id outside the table, or this effect itself; an effect that draws
    // the visor already is refused, see DrawsOtherEffects).
    void signal(SignalValue value) override;
    std::array<const Effect*, 2> drawnEffects() const override { return {source_, nullptr}; }
    // Captures the source into the render texture.
    void prepare(int time) override;

    Effect* source() const { return source_; }
    const Texture& renderTexture() const { return *renderTexture_; }

private:
    // The source's next camera, then its run and post.
    void drawSource(int time);
    // The texture over the viewport, laid out for 1024 x 512 images.
    void drawVisorImage(const Texture& texture) const;

    Effect* source_ = nullptr;
    Material* reflector_ = nullptr;
    std::unique_ptr<Texture> renderTexture_;
    std::unique_ptr<Texture> fullVisor_;
    std::unique_ptr<Texture> frontVisor_;
    int referenceWidth_ = 1024;
    int referenceHeight_ = 512;
};
