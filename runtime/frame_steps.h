// The grid of music time on which the effects take their per-frame steps.
//
// Some of the show's motion is made of steps taken once a frame (the flash
// decays by a twentieth, a glide moves by a fraction of what is left, the
// swirl turns a little further). Their look is the one at 60 frames a second,
// so the steps are taken on a fixed 60 Hz grid of music time instead of once
// per drawn frame: step k falls at origin + floor(k * 1000 / 60) ms, the very
// times at which a 60 fps capture from DEMOSTART (the origin) draws its
// frames. An effect drawn at time t first takes every step of the grid up to
// t that it has not taken yet (FrameStepper), so at 60 fps it takes one step a
// frame, as it always did, at 30 fps two, and at 240 fps one in four frames.
#pragma once

#include <cstdint>

namespace frame_steps {

inline constexpr int kStepsPerSecond = 60;

inline constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The music time of step k.
inline constexpr int stepTime(int origin, std::int64_t k) {
    return origin + static_cast<int>(floorDiv(k * 1000, kStepsPerSecond));
}

// The last step at or before music time `time`: the largest k with
// stepTime(origin, k) <= time. (floor(50 k / 3) <= d exactly when
// k <= floor((3 d + 2) / 50).)
inline constexpr std::int64_t stepAt(int origin, int time) {
    return floorDiv(3 * (static_cast<std::int64_t>(time) - origin) + 2, 50);
}

}  // namespace frame_steps

// Where one stepped process of an effect stands on the grid: the last step it
// has taken. Effects hold one per process and call catchUp from run (and from
// advance, while they are running), skipTo from advance while they are not
// drawn, and resume when they start drawing again.
class FrameStepper {
public:
    // Takes every step up to music time `time` not taken yet, calling
    // step(stepTime) for each in order. On the first call, after resume()
    // without a skipTo before it, when the origin changed or when the time
    // went back (a new start of the timeline), the position is taken anew:
    // a drawn frame (drawing) then takes the one step of its own time, as a
    // single frame at 60 fps would, an advance none.
    template <class Step>
    void catchUp(int origin, int time, bool drawing, Step&& step) {
        const std::int64_t now = frame_steps::stepAt(origin, time);
        if (!placed_ || origin != origin_ || now < done_) place(origin, drawing ? now - 1 : now);
        skipped_ = false;
        while (done_ < now) {
            ++done_;
            step(frame_steps::stepTime(origin, done_));
        }
    }

    // Moves to music time `time` without taking the steps in between: the
    // process is not running meanwhile.
    void skipTo(int origin, int time) {
        place(origin, frame_steps::stepAt(origin, time));
        skipped_ = true;
    }

    // The process starts again after a pause. When the timeline brought the
    // position up to the moment (skipTo from advance) it stays; otherwise the
    // time since the last step is no time the process ran, and the next
    // catchUp places it anew.
    void resume() {
        if (!skipped_) placed_ = false;
    }

    bool placed() const { return placed_; }
    std::int64_t lastStep() const { return done_; }

private:
    void place(int origin, std::int64_t done) {
        origin_ = origin;
        done_ = done;
        placed_ = true;
    }

    std::int64_t done_ = 0;
    int origin_ = 0;
    bool placed_ = false;
    bool skipped_ = false;
};
