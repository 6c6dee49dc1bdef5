#include "app/music_player.h"

#include "runtime/fatal_error.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace {
constexpr const char* kCannotPlay = "could not play stream";
}

MusicPlayer::~MusicPlayer() { closeMusic(); }

bool MusicPlayer::initSound() {
    soundReady_ = output_.open(kMixRate);
    if (soundReady_) setFatalErrorSoundShutdown([this] { output_.close(); });
    return soundReady_;
}

bool MusicPlayer::openMusic(const char* fileName) {
    // The file opens into a fresh decoder: one that does not open or decode
    // leaves the soundtrack that plays playing, where it is.
    auto decoder = std::make_unique<vantor::platform::Mp3Decoder>();
    if (!decoder->open(fileName)) return false;
    const bool wasPaused = paused_;
    output_.pause(true);
    paused_ = true;
    // The output runs at the file's rate so that counted frames are file frames.
    if (output_.rate() != decoder->rate() && !output_.open(decoder->rate())) {
        // Back to the old soundtrack's rate, and on with it.
        const std::int64_t at = positionFrames();
        if (decoder_->isOpen() && output_.open(decoder_->rate())) {
            seekToFrame(at);
            if (!wasPaused) {
                output_.pause(false);
                paused_ = false;
            }
        }
        return false;
    }
    output_.setSource(nullptr);
    decoder_ = std::move(decoder);
    output_.setSource(decoder_.get());
    seekMusic(0);
    return true;
}

void MusicPlayer::seekMusic(int ms) {
    const std::int64_t target = std::max(ms, 0);
    const int rate = decoder_->rate();
    // The first frame at or after the target, so the clock reads back the
    // target itself (a frame lasts less than a millisecond).
    seekToFrame(rate > 0 ? (target * rate + 999) / 1000 : 0);
    seekMs_ = target;
}

void MusicPlayer::seekToFrame(std::int64_t frame) {
    output_.locked([&] {
        if (decoder_->isOpen()) decoder_->seekFrame(frame);
        output_.resetFramesConsumed();
        seekFrame_ = frame;
    });
    const int rate = decoder_->rate();
    seekMs_ = rate > 0 ? frame * 1000 / rate : 0;
}

void MusicPlayer::playMusic() {
    if (!output_.isOpen() || !decoder_->isOpen()) fatalError(kCannotPlay, -1);
    output_.pause(false);
    paused_ = false;
}

void MusicPlayer::pauseMusic() {
    if (paused_) return;
    // Once the output is paused it takes no more blocks; the decoder goes back
    // to the frame the clock stands on, so play goes on with that sample.
    output_.pause(true);
    paused_ = true;
    seekToFrame(positionFrames());
}

std::int64_t MusicPlayer::positionFrames() const { return seekFrame_ + output_.framesPlayed(); }

int MusicPlayer::musicTime() {
    const int rate = decoder_->rate();
    const std::int64_t ms = rate > 0 ? positionFrames() * 1000 / rate : seekMs_;
    return static_cast<int>(std::min<std::int64_t>(ms, INT_MAX));
}

std::int64_t MusicPlayer::musicLength() const {
    const int rate = decoder_->rate();
    return decoder_->isOpen() && rate > 0 ? decoder_->lengthFrames() * 1000 / rate : 0;
}

void MusicPlayer::closeMusic() {
    if (!soundReady_ && !decoder_->isOpen()) return;
    output_.close();
    decoder_->close();
    setFatalErrorSoundShutdown(nullptr);
    soundReady_ = false;
    paused_ = true;
}
