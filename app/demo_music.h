// The soundtrack as the demo's start-up, frame loop and shutdown use it: the
// clock the loop reads, plus opening and closing the sound side.
//
// The program plays through the sound output (MusicPlayer); an offline
// renderer steps a virtual clock and needs no sound device (OfflineMusic).
#pragma once

#include "app/music_clock.h"

class DemoMusic : public MusicClock {
public:
    // Starts the sound side. Returns soundReady().
    virtual bool initSound() = 0;
    // Opens the soundtrack, paused at its start. False when it cannot be
    // opened or decoded.
    virtual bool openMusic(const char* fileName) = 0;
    // Closes the soundtrack and the sound side.
    virtual void closeMusic() = 0;
    virtual bool soundReady() const = 0;

protected:
    DemoMusic() = default;
};
