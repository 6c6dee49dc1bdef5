// The music times of captured frames (vantor-capture, and the web page drawn
// up to a time): frame n of a capture at fps frames a second is drawn at
// DEMOSTART + n * 1000 / fps ms, computed from n each time so that no rounding
// accumulates over a long capture.
#pragma once

inline int frameTime(int demoStart, long long frame, int fps) {
    return demoStart + static_cast<int>(frame * 1000 / fps);
}

// The first frame drawn at or after music time `time`.
inline long long firstFrameAt(int demoStart, int time, int fps) {
    if (time <= demoStart) return 0;
    return (static_cast<long long>(time - demoStart) * fps + 999) / 1000;
}
