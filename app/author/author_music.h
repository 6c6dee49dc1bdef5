// The soundtrack as author mode plays it.
//
// It plays through the given sound side (the music player) when that starts.
// Without a sound device author mode still plays, on a silent clock: the
// position runs on in real time from a steady clock, seeks and pauses as the
// player's would, and the soundtrack is only checked and measured. One
// warning says so when the sound does not start.
//
// Author mode ends only when the author quits: once the show's end is known
// (setShowEnd), the position never reads past its last millisecond, so the
// frame loop never reaches the end of the show on its own, however the music
// and the hold at the end interleave.
#pragma once

#include "app/demo_music.h"

#include <cstdint>
#include <functional>
#include <string>

class AuthorMusic : public DemoMusic {
public:
    using WallClock = std::function<std::int64_t()>;
    using Warning = std::function<void(const std::string& text)>;

    AuthorMusic(DemoMusic& sound, WallClock wallMs, Warning warn);

    // The end of the show in ms, asked for at each reading; unset, the
    // position reads as it runs.
    void setShowEnd(std::function<int()> showEnd) { showEnd_ = std::move(showEnd); }
    // True when the music plays on the silent clock.
    bool silent() const { return silent_; }

    bool initSound() override;
    bool openMusic(const char* fileName) override;
    void closeMusic() override;
    bool soundReady() const override;

    int musicTime() override;
    void seekMusic(int ms) override;
    void playMusic() override;
    void pauseMusic() override;
    bool musicPaused() const override;
    std::int64_t musicLength() const override;

private:
    // The silent clock's position now.
    std::int64_t silentTime() const;

    DemoMusic& sound_;
    WallClock wallMs_;
    Warning warn_;
    std::function<int()> showEnd_;
    bool silent_ = false;
    bool silentReady_ = false;
    bool silentPaused_ = true;
    std::int64_t silentAt_ = 0;     // position at the last seek, play or pause
    std::int64_t silentSince_ = 0;  // wall time of that, while playing
    std::int64_t silentLength_ = 0;
};
