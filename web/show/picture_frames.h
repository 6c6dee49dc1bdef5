// The frames drawn to leave a picture at each of a list of music times, as
// vantor-capture --at draws them: every frame of the rate before the time,
// then the time itself (which is the frame of the rate when it lies on the
// rate's grid).
#pragma once

#include "app/frame_times.h"

#include <cstddef>
#include <vector>

class PictureFrames {
public:
    // times ascending, none before demoStart.
    PictureFrames(int demoStart, int fps, std::vector<int> times)
        : start_(demoStart), fps_(fps), times_(std::move(times)) {}

    bool done() const { return index_ >= times_.size(); }
    // The music time of the next frame; *picture is set when it is one of
    // the listed times, to be left on the canvas.
    int next(bool* picture) {
        const int at = times_[index_];
        const int time = frameTime(start_, frame_, fps_);
        if (time < at) {
            ++frame_;
            *picture = false;
            return time;
        }
        *picture = true;
        ++index_;
        if (time == at) ++frame_;
        return at;
    }

private:
    int start_;
    int fps_;
    std::vector<int> times_;
    std::size_t index_ = 0;
    long long frame_ = 0;
};
