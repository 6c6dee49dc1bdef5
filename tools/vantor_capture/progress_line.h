// The progress line of a long capture on stderr: frames done, music time,
// frames drawn per second and the time left, rewritten in place twice a second.
#pragma once

#include <chrono>

class ProgressLine {
public:
    ProgressLine(bool quiet, long long totalFrames);

    void update(long long framesDone, int musicTime);
    // Ends the line (when one was shown).
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    bool quiet_;
    long long total_;
    Clock::time_point started_;
    Clock::time_point lastShown_;
    bool shown_ = false;
};
