#include "app/offline_music.h"

#include "platform/mp3_decoder.h"

bool OfflineMusic::initSound() {
    soundReady_ = true;
    return true;
}

bool OfflineMusic::openMusic(const char* fileName) {
    vantor::platform::Mp3Decoder decoder;
    if (!decoder.open(fileName) || decoder.rate() <= 0) return false;
    lengthMs_ = decoder.lengthFrames() * 1000 / decoder.rate();
    clock_.seekMusic(0);
    return true;
}

void OfflineMusic::closeMusic() { soundReady_ = false; }
