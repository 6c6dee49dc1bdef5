// A panorama of two images side by side ("horisbig1.jpg", "horisbig2.jpg",
// each two viewport widths wide) scrolling left over `parameter` ms (20000)
// from init and stopping after three viewport widths, with a third image
// ("bakgrscroll3.jpg") added on top at half the speed. Everything is drawn in
// run. Signals: the layer codes (DURATION sets the duration).
#pragma once

#include "effects/layer_effect.h"

class ImageLibrary;

class HorizonScrollEffect : public LayerEffect {
public:
    static constexpr float kDuration = 20000.0f;

    explicit HorizonScrollEffect(ImageLibrary& library);

    void init(int time) override;
    void run(int time) override;
    void post() override;

    ImageLibrary* imageLibrary;
    GLuint leftTexture = 0;  // names of the panoramas' textures (owned)
    GLuint rightTexture = 0;
    GLuint overlayTexture = 0;
    double scrollOffset = 0.0;  // pixels
    double scrollRange = 0.0;   // pixels
    int startTime = 0;

private:
    // A texture of its own for the named image, uploaded as 24-bit RGB and
    // clamped at its edges.
    GlTexture loadPanorama(const char* name);

    GlTexture panoramas_[3];  // left, right, overlay
};
