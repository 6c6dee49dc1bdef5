#include "app/offline_music.h"

#include "platform/soundtrack_length.h"

bool OfflineMusic::initSound() {
    soundReady_ = true;
    return true;
}

bool OfflineMusic::openMusic(const char* fileName) {
    std::int64_t length = 0;
    if (!vantor::platform::soundtrackLengthMs(fileName, &length)) return false;
    lengthMs_ = length;
    clock_.seekMusic(0);
    return true;
}

void OfflineMusic::closeMusic() { soundReady_ = false; }
