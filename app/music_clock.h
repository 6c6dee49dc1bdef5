// The demo's only clock: the soundtrack's play position in milliseconds.
//
// The frame loop reads the position once per frame and moves it on every
// script phase. The music player implements it on the sound output; tests and
// offline renderers drive the loop with a VirtualClock.
#pragma once

#include <cstdint>

class MusicClock {
public:
    virtual ~MusicClock() = default;

    // The play position in ms, counted from the start of the soundtrack.
    virtual int musicTime() = 0;
    // Moves the play position to ms.
    virtual void seekMusic(int ms) = 0;
    // Plays from the current position (also when already playing); after
    // pauseMusic it goes on from where the position stood.
    virtual void playMusic() = 0;
    // Stops the play position where it is, until the next playMusic. A seek
    // while paused moves the position and stays paused.
    virtual void pauseMusic() = 0;
    // True while the position stands still: before the first playMusic and
    // after pauseMusic.
    virtual bool musicPaused() const = 0;
    // The soundtrack's length in ms; 0 when it is not known, and the position
    // then runs on for ever. Past the end the position still runs on (over
    // silence); the frame loop ends the show there.
    virtual std::int64_t musicLength() const { return 0; }

protected:
    MusicClock() = default;
    MusicClock(const MusicClock&) = default;
    MusicClock& operator=(const MusicClock&) = default;
};

// A clock that only moves when told to: set() or advance() between frames.
// While not playing, advance() does nothing, as a paused soundtrack would.
class VirtualClock : public MusicClock {
public:
    int musicTime() override { return time_; }
    void seekMusic(int ms) override { time_ = ms; }
    void playMusic() override { playing_ = true; }
    void pauseMusic() override { playing_ = false; }
    bool musicPaused() const override { return !playing_; }

    std::int64_t musicLength() const override { return length_; }

    void set(int ms) { time_ = ms; }
    // The length musicLength gives (0: not known).
    void setLength(std::int64_t ms) { length_ = ms; }
    void advance(int ms) {
        if (playing_) time_ += ms;
    }
    bool playing() const { return playing_; }

private:
    int time_ = 0;
    std::int64_t length_ = 0;
    bool playing_ = false;
};
