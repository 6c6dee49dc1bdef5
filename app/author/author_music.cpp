#include "app/author/author_music.h"

#include "platform/mp3_decoder.h"

#include <algorithm>
#include <climits>

AuthorMusic::AuthorMusic(DemoMusic& sound, WallClock wallMs, Warning warn)
    : sound_(sound), wallMs_(std::move(wallMs)), warn_(std::move(warn)) {}

bool AuthorMusic::initSound() {
    if (sound_.initSound()) {
        silent_ = false;
        return true;
    }
    if (!silent_ && warn_) warn_("could not init sound: playing on a silent clock");
    silent_ = true;
    silentReady_ = true;
    return true;
}

bool AuthorMusic::openMusic(const char* fileName) {
    if (!silent_) return sound_.openMusic(fileName);
    // Checked as the player would open it; a file that does not decode
    // leaves the soundtrack (and its length) as it was.
    vantor::platform::Mp3Decoder decoder;
    if (!decoder.open(fileName) || decoder.rate() <= 0) return false;
    silentLength_ = decoder.lengthFrames() * 1000 / decoder.rate();
    silentPaused_ = true;
    silentAt_ = 0;
    return true;
}

void AuthorMusic::closeMusic() {
    if (!silent_) {
        sound_.closeMusic();
        return;
    }
    silentReady_ = false;
    silentPaused_ = true;
}

bool AuthorMusic::soundReady() const { return silent_ ? silentReady_ : sound_.soundReady(); }

std::int64_t AuthorMusic::silentTime() const {
    return silentPaused_ ? silentAt_ : silentAt_ + std::max<std::int64_t>(wallMs_() - silentSince_, 0);
}

int AuthorMusic::musicTime() {
    std::int64_t ms = silent_ ? silentTime() : sound_.musicTime();
    if (showEnd_) ms = std::min<std::int64_t>(ms, std::max(showEnd_() - 1, 0));
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, INT_MAX));
}

void AuthorMusic::seekMusic(int ms) {
    if (!silent_) {
        sound_.seekMusic(ms);
        return;
    }
    silentAt_ = std::max(ms, 0);
    silentSince_ = wallMs_();
}

void AuthorMusic::playMusic() {
    if (!silent_) {
        sound_.playMusic();
        return;
    }
    if (!silentPaused_) return;
    silentSince_ = wallMs_();
    silentPaused_ = false;
}

void AuthorMusic::pauseMusic() {
    if (!silent_) {
        sound_.pauseMusic();
        return;
    }
    silentAt_ = silentTime();
    silentPaused_ = true;
}

bool AuthorMusic::musicPaused() const { return silent_ ? silentPaused_ : sound_.musicPaused(); }

std::int64_t AuthorMusic::musicLength() const { return silent_ ? silentLength_ : sound_.musicLength(); }
