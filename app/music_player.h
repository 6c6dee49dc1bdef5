// The soundtrack and the demo's clock.
//
// One MP3 file is decoded as it plays and sent to the sound output at the
// file's own sample rate. The play position is the seek position plus the
// sample frames the output has played since (the blocks it took, and the part
// of the last block its playing time covers), converted to milliseconds with
// the file's rate: exact right after a seek, never moving backwards between
// seeks, smooth between the output's blocks, and still running on (over
// silence) after the end of a file shorter than the demo, so the position
// always reaches the end of the show (the soundtrack's own end, when the
// script sets none earlier).
//
// Seeks and pauses are exact to the sample: after a seek to T ms the first
// sample played is the first one at or after T (sample ceil(T * rate / 1000)
// of the whole file decoded from its start); a pause stops the output and
// moves the decoder back to the sample the clock stands on, so play goes on
// with exactly that sample and the clock stands still in between.
//
// Operations in the order the program uses them: initSound, openMusic,
// seekMusic, playMusic, musicTime once a frame, closeMusic; pauseMusic and
// further seekMusic/playMusic at any time in between.
#pragma once

#include "app/demo_music.h"
#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"

#include <cstdint>
#include <memory>

class MusicPlayer : public DemoMusic {
public:
    // The mixing rate the sound output starts with.
    static constexpr int kMixRate = 44100;

    MusicPlayer() = default;
    ~MusicPlayer() override;
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Starts the sound output. From then on until closeMusic, fatalError shuts
    // the sound down before its box. Returns soundReady().
    bool initSound() override;
    // Opens the soundtrack (paused, at its start). False when the file cannot
    // be opened or decoded, or the output cannot play its rate: the soundtrack
    // opened before then plays on as it did.
    bool openMusic(const char* fileName) override;
    void seekMusic(int ms) override;
    // Plays from the current position; ends the program with "could not play
    // stream" when there is nothing to play or nothing to play it on.
    void playMusic() override;
    void pauseMusic() override;
    bool musicPaused() const override { return paused_; }
    int musicTime() override;
    // The opened soundtrack's length (0 before openMusic).
    std::int64_t musicLength() const override;
    // Closes the stream and shuts the sound output down.
    void closeMusic() override;

    bool soundReady() const override { return soundReady_; }
    // The soundtrack's sample rate (0 before openMusic).
    int rate() const { return decoder_->rate(); }
    // Sample frames the output has taken from the soundtrack since the last
    // seek: the sound's own progress, which the clock follows.
    std::int64_t framesTaken() const { return output_.framesConsumed(); }
    // The play position in sample frames of the soundtrack.
    std::int64_t positionFrames() const;
    // Sees every block the output takes, on the audio thread (see
    // AudioOutput::setMonitor): for checking what is played.
    void setMonitor(vantor::platform::AudioOutput::Monitor monitor) { output_.setMonitor(std::move(monitor)); }

private:
    // Moves the decoder and the clock to a sample frame.
    void seekToFrame(std::int64_t frame);

    vantor::platform::AudioOutput output_;
    // Never null: a closed decoder until the first openMusic.
    std::unique_ptr<vantor::platform::Mp3Decoder> decoder_ = std::make_unique<vantor::platform::Mp3Decoder>();
    bool soundReady_ = false;
    bool paused_ = true;
    std::int64_t seekFrame_ = 0;  // sample frame of the last seek
    std::int64_t seekMs_ = 0;     // ms of the last seek, read back exactly until the clock moves on
};
