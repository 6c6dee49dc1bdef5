// The soundtrack of the live show in the page, as the demo's start-up, frame
// loop and shutdown use it: the page fetched the file into the program's file
// system before main; openMusic checks it as the music player would (its
// frame headers, so a missing or broken file fails the start-up the same
// way), notes its length and hands the bytes to the browser to decode, while
// the start-up goes on. The clock is the browser's sound output
// (WebAudioClock): it stands until the sound is decoded and the page had its
// click, then runs with what is heard.
#pragma once

#include <cstdint>
#include <string>

#include "app/demo_music.h"
#include "web/platform/web_audio.h"

namespace vantor::web {

class WebAudioMusic : public DemoMusic {
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
    // The decoded sound's length once the browser has it, the frame headers'
    // until then.
    std::int64_t musicLength() const override;

    // Decoding, decoded or failed (failure() says why: the page shows it).
    WebAudioClock::State state() const { return clock_.state(); }
    std::string failure() const { return clock_.failure(); }
    bool audible() const { return clock_.audible(); }

private:
    WebAudioClock clock_;
    bool soundReady_ = false;
    std::int64_t headerLengthMs_ = 0;
};

}  // namespace vantor::web
