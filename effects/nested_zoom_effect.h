// Four images ("zoom3.jpg" to "zoom0.jpg"), each a 4x enlargement of the
// centre of the one before, drawn nested, each a quarter of the size of the
// one before on top of its centre, zooming out continuously: the scale is
// 0.99 ^ ((t - start) / parameter) x 1000, so the view starts deep inside
// "zoom0.jpg" and shows all of "zoom3.jpg" at scale 1 (after about 68.7 s
// with the default time constant of 100 ms). Signals: the layer codes
// (DURATION sets the time constant).
#pragma once

#include "effects/layer_effect.h"

#include <array>

class ImageLibrary;
struct kpximage;

class NestedZoomEffect : public LayerEffect {
public:
    static constexpr int kCount = 4;
    static constexpr int kImageSide = 512;
    static constexpr float kZoomStart = 1000.0f;
    static constexpr float kTimeConstant = 100.0f;

    explicit NestedZoomEffect(ImageLibrary& library);

    void init(int time) override;
    void run(int time) override;
    void post() override;

    int count = kCount;
    std::array<kpximage*, kCount> zoomImages{};
    std::array<GlTexture, kCount> textures;
    int startTime = 0;
    float zoomStart = kZoomStart;
    float scale = kZoomStart;
};
