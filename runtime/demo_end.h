// When the show is over: the music time, in milliseconds, at which the demo
// ends at the latest (four minutes of soundtrack). A script may end its show
// earlier with DEMOEND; one without it ends here, or where a shorter
// soundtrack ends. What plans against the whole show — vantor-capture's
// longest capture, the scene descriptions' longest tracks, the shipped
// script's checks — reads it here.
#pragma once

#include <cstdint>

inline constexpr int kDemoEndTime = 240000;

// The end of a show without DEMOEND whose soundtrack lasts soundtrackMs (0:
// not known, the clock runs on).
inline int defaultShowEnd(std::int64_t soundtrackMs) {
    return soundtrackMs > 0 && soundtrackMs < kDemoEndTime ? static_cast<int>(soundtrackMs) : kDemoEndTime;
}
