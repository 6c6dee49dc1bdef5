// A texture layer that captures another effect of the table: signal SOURCE
// (70, 'F') chooses the source by id, and capture renders the source's run for a time
// into the bottom-left corner of the frame buffer and copies that corner into
// a texture (render-to-texture by frame-buffer copy), clearing the corner
// again afterwards.
//
// Capturing subclasses do it in prepare, which the table calls for every
// running effect before any effect runs, so the corner is clean again before
// the frame is drawn. They draw nothing of the source while it is unset.
// init keeps the blend state; post draws nothing.
#pragma once

#include "effects/corner_capture.h"
#include "effects/drawn_effects.h"
#include "effects/layer_effect.h"

class ImageLibrary;

class CaptureEffect : public LayerEffect, public DrawsOtherEffects {
public:
    // Signal code: the source effect by id.
    static constexpr int SOURCE = 70;

    void init(int time) override;
    void post() override;
    // The layer codes, then SOURCE: source = the table's effect with that id
    // (none for an empty slot, an id outside 0..31 or the effect itself; an
    // effect that draws this one already is refused, see DrawsOtherEffects).
    void signal(SignalValue value) override;
    std::array<const Effect*, 2> drawnEffects() const override { return {source, nullptr}; }

    // Runs the source for `time` into the width x height corner and copies it
    // into `target`, which becomes a width x height texture. Nothing happens without
    // a source.
    void capture(int width, int height, GLuint target, int time);

    Effect* source = nullptr;
    ImageLibrary* imageLibrary = nullptr;

protected:
    explicit CaptureEffect(ImageLibrary* library);
    ~CaptureEffect() = default;

    // What the swirl and the zoom blur draw their copies of the capture in:
    // face culling and depth test off, `texture` bound on unit 0, a w x h
    // projection with y downwards and an identity modelview (both pushed),
    // blending by source alpha onto what is there.
    void beginAdditiveCopies(float w, float h) const;
    // Blending, texturing and alpha test off, both matrices popped; depth
    // test on.
    static void endAdditiveCopies();
    // The layer's texture has one owner: a capture effect is never copied.
    CaptureEffect(const CaptureEffect&) = delete;
    CaptureEffect& operator=(const CaptureEffect&) = delete;
};
