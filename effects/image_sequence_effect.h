// An ordered list of prepared images shown one at a time as a full-screen
// layer, gliding its position and transparency towards targets set by
// signals. The loading screen of the start-up is one of these.
//
// Images belong to the image cache; the effect brings them to 32 bits in place
// (with alpha from brightness, so dark pixels turn transparent when blended)
// and draws straight from the image's own pixel buffer.
//
// Signals (codes below), each passed on to the layer codes afterwards. The
// glide moves x, y and alpha; `parameter` (DURATION) is its duration in ms.
// It moves by a step per frame of the 60 Hz step grid (runtime/frame_steps.h),
// each step the fraction (step time - GLIDE_FROM) / duration of the distance
// left, so the glide accelerates, the same at any drawing rate.
// Codes 56 and 57 (target width and height) are ignored: the glide never
// moves the size.
#pragma once

#include "effects/layer_effect.h"
#include "runtime/frame_steps.h"

#include <vector>

class ImageLibrary;
struct kpximage;

class ImageSequenceEffect : public LayerEffect {
public:
    static constexpr float kGlideDuration = 1000.0f;

    // Signal codes (value = the integer of the signal).
    static constexpr int GLIDE_FROM = 5;     // the glide starts at music time value
    static constexpr int NEXT_PICTURE = 30;  // advance to the next image
    static constexpr int APPEND = 31;        // append the cached image named by the text
                                             // (nothing when it cannot be loaded)
    static constexpr int TARGET_X = 54;      // glide targets = value / 100
    static constexpr int TARGET_Y = 55;
    static constexpr int TARGET_ALPHA = 90;
    static constexpr int SHOW = 110;  // (text only) show the cached image named by the
                                      // text, without joining the list and without
                                      // alpha from brightness

    // library: where signals 31 and 110 fetch images by name. image: the
    // first image of the sequence, shown from the start.
    ImageSequenceEffect(ImageLibrary* library, kpximage* image);
    ImageSequenceEffect(const ImageSequenceEffect&) = delete;
    ImageSequenceEffect& operator=(const ImageSequenceEffect&) = delete;

    void init(int time) override;
    void start() override;
    void run(int time) override;
    void post() override;
    void signal(SignalValue value) override;
    void advance(int time) override;

    // Adds an image at the end (brought to 32 bits with alpha from brightness).
    void append(kpximage* image);
    // Shows the next image, the first again after the last.
    void advance();

    // The layer's size and texture follow the image; the whole image is
    // uploaded into the texture.
    void show(kpximage* image);

    kpximage* current = nullptr;
    std::vector<kpximage*> images;
    int currentIndex = 0;
    float targetX = 0.0f;
    float targetY = 0.0f;
    float targetWidth = 1.0f;
    float targetHeight = 1.0f;
    float targetAlpha = 1.0f;
    int moveStart = -1;

protected:
    // One step of the glide of x, y and alpha, at music time `time`.
    void glide(int time);
    // What the effect does at each step of the grid: the glide.
    virtual void frameStep(int time) { glide(time); }
    // The frame's steps from run: every step up to `time` not taken yet.
    void takeFrameSteps(int time);

    FrameStepper steps_;

    ImageLibrary* imageLibrary_;
};

// Alpha from brightness on a 32-bit image: byte 3 of every pixel becomes the
// integer average of bytes 0, 1 and 2.
void alphaFromBrightness(kpximage& image);
