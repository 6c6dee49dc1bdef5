// When the show is over: the music time, in milliseconds, at which the demo
// ends (four minutes of soundtrack). The frame loop stops there, and what
// plans against the whole show — vantor-capture's default end, the scene
// descriptions' longest tracks, the shipped script's checks — reads it here.
#pragma once

inline constexpr int kDemoEndTime = 240000;
