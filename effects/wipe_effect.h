// A transition between two effects of the table through a greyscale map.
//
// Every frame the first effect (the capture source, SOURCE) is drawn, a
// soft-edged mask made from the map is written into the frame buffer's alpha
// channel, and the second effect (the target, WIPE_FROM, a layer) is drawn
// blended by that destination alpha: target * a + screen * (1 - a). A
// threshold sweeps through the grey levels: map values below it show the
// first effect, values 30 or more above it show the target, a ramp lies
// between. The threshold grows at every step of the 60 Hz step grid
// (runtime/frame_steps.h) by the time since init divided by the parameter
// (DURATION, default 2000), so the sweep accelerates, the same at any drawing
// rate.
//
// The map holds 256 x 256 grey levels from the transition image, rows in
// image order (row 0 at the bottom of the screen). Before an image is loaded
// every value is 0, so the first effect shows everywhere; a larger image gives
// its first 65536 pixels, a smaller one only the values it covers.
//
// Signals: the layer codes and SOURCE, then the codes below.
#pragma once

#include "effects/capture_effect.h"
#include "runtime/frame_steps.h"

#include <vector>

class WipeEffect : public CaptureEffect {
public:
    // Signal codes.
    static constexpr int WIPE_FROM = 71;  // target = the table's effect with that id (none
                                          // when empty, or when it is the wipe itself)
    static constexpr int THRESHOLD = 90;  // threshold = value
    static constexpr int WIPE_MAP = 91;   // reload the map from the image named by the text
                                          // (a missing image leaves the map as it was)
    static constexpr float kDefaultSpeedDivisor = 2000.0f;

    WipeEffect(ImageLibrary* library, const char* mapName);

    void init(int time) override;
    void start() override;
    void prepare(int time) override;
    void run(int time) override;
    void post() override;
    void stop() override;
    void signal(SignalValue value) override;
    void advance(int time) override;
    std::array<const Effect*, 2> drawnEffects() const override { return {source, target_}; }

    float progress() const { return progress_; }
    Effect* target() const { return target_; }
    const unsigned char* map() const { return map_.data(); }
    const unsigned char* mask() const { return mask_.data(); }

private:
    void loadMap(const char* name);
    void drawMask();
    // One step of the threshold, at music time `time`.
    void step(int time);

    std::vector<unsigned char> mask_;
    std::vector<unsigned char> map_;
    GLuint maskTexture_ = 0;
    Effect* target_ = nullptr;
    float progress_ = 0.0f;
    int startTime_ = 0;
    FrameStepper steps_;
};
