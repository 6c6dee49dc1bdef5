// The soundtrack without a sound device, for rendering the demo offline.
//
// openMusic checks the file exactly as the music player would open it (so a
// missing or broken soundtrack fails the start-up the same way) and notes its
// length; nothing is played. The play position is a VirtualClock that the
// renderer moves between frames.
#pragma once

#include "app/demo_music.h"

#include <cstdint>

class OfflineMusic : public DemoMusic {
public:
    bool initSound() override;
    bool openMusic(const char* fileName) override;
    void closeMusic() override;
    bool soundReady() const override { return soundReady_; }

    int musicTime() override { return clock_.musicTime(); }
    void seekMusic(int ms) override { clock_.seekMusic(ms); }
    void playMusic() override { clock_.playMusic(); }
    void pauseMusic() override { clock_.pauseMusic(); }
    bool musicPaused() const override { return clock_.musicPaused(); }
    std::int64_t musicLength() const override { return lengthMs_; }

    VirtualClock& clock() { return clock_; }
    // Length of the opened soundtrack in ms (0 before openMusic).
    std::int64_t lengthMs() const { return lengthMs_; }

private:
    VirtualClock clock_;
    bool soundReady_ = false;
    std::int64_t lengthMs_ = 0;
};
