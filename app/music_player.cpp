#include "app/music_player.h"

#include "app/fatal_error.h"

#include <algorithm>
#include <climits>

namespace {
constexpr const char* kCannotPlay = "could not play stream";
}

MusicPlayer::~MusicPlayer() {
    closeMusic();
}

bool MusicPlayer::initSound() {
    soundReady_ = output_.open(kMixRate);
    if (soundReady_) setFatalErrorSoundShutdown([this] { output_.close(); });
    return soundReady_;
}

bool MusicPlayer::openMusic(const char* fileName) {
    output_.setSource(nullptr);
    if (!decoder_.open(fileName)) return false;
    // The output runs at the file's rate so that counted frames are file frames.
    if (output_.rate() != decoder_.rate() && !output_.open(decoder_.rate())) {
        decoder_.close();
        return false;
    }
    output_.setSource(&decoder_);
    seekMusic(0);
    return true;
}

void MusicPlayer::seekMusic(int ms) {
    const std::int64_t target = std::max(ms, 0);
    output_.locked([&] {
        if (decoder_.isOpen()) decoder_.seekFrame(target * decoder_.rate() / 1000);
        output_.resetFramesConsumed();
        seekMs_ = target;
    });
}

void MusicPlayer::playMusic() {
    if (!output_.isOpen() || !decoder_.isOpen()) fatalError(kCannotPlay, -1);
    output_.pause(false);
}

int MusicPlayer::musicTime() {
    const int rate = decoder_.rate();
    std::int64_t ms = seekMs_;
    if (rate > 0) ms += output_.framesPlayed() * 1000 / rate;
    return static_cast<int>(std::min<std::int64_t>(ms, INT_MAX));
}

void MusicPlayer::closeMusic() {
    if (!soundReady_ && !decoder_.isOpen()) return;
    output_.close();
    decoder_.close();
    setFatalErrorSoundShutdown(nullptr);
    soundReady_ = false;
}
