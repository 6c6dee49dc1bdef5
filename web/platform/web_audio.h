// The soundtrack played by the browser through Web Audio, and its output
// clock as the demo's music time.
//
// The file is fetched and decoded by the browser while the page starts up
// (load(), then poll state()); the frame loop reads the clock as it reads the
// native player's. Seeks and pauses are exact to the sample: a seek restarts
// the sound at the new offset, a pause keeps the position until the next play.
// No sound plays before the first click or key on the page; until then the
// clock stands still (the show waits at its start), and the page's start
// screen asks for the click.
//
// A tab hidden during the show keeps its sound and its clock: the music plays
// on, the page draws no frames while hidden, and the first frame after it
// shows the music's position, as a minimised window of the native demo does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/music_clock.h"

namespace vantor::web {

class WebAudioClock : public MusicClock {
public:
    enum class State { NotStarted, Loading, Ready, Failed };

    // Makes the audio context. False when the browser has no Web Audio.
    bool start();
    // Starts fetching and decoding the soundtrack at url (relative to the
    // page). state() is Loading until it is decoded or has failed.
    void load(const std::string& url);
    // Starts decoding a soundtrack already in memory (the bytes are copied);
    // name is what a failure calls it.
    void decode(const std::string& name, const unsigned char* bytes, std::size_t size);
    State state() const;
    // Why the soundtrack failed, as the page shows it.
    std::string failure() const;
    // True once the page had its gesture and the sound runs.
    bool audible() const;
    // Stops the sound and forgets the soundtrack.
    void close();

    int musicTime() override;
    void seekMusic(int ms) override;
    void playMusic() override;
    void pauseMusic() override;
    bool musicPaused() const override { return paused_; }
    std::int64_t musicLength() const override;

private:
    bool paused_ = true;
};

}  // namespace vantor::web
