// Frames per second for the overlay: the frames shown in the last second of
// wall-clock time, from the times handed in (so a test needs no clock).
#pragma once

#include <deque>

class FrameRateMeter {
public:
    // A frame was shown at `seconds` (any steady clock, never going back).
    void frameShown(double seconds);
    // Frames per second over the last second; 0 before two frames.
    double perSecond() const;

private:
    std::deque<double> shown_;  // times of the frames of the last second
};
