#include "web_audio_music.h"

#include <cstdio>
#include <vector>

#include "platform/soundtrack_length.h"

namespace vantor::web {

bool WebAudioMusic::initSound() {
    soundReady_ = clock_.start();
    return soundReady_;
}

bool WebAudioMusic::openMusic(const char* fileName) {
    std::int64_t length = 0;
    if (!soundReady_ || !vantor::platform::soundtrackLengthMs(fileName, &length)) return false;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    headerLengthMs_ = length;
    clock_.decode(fileName, bytes.data(), bytes.size());
    clock_.seekMusic(0);
    return true;
}

void WebAudioMusic::closeMusic() {
    clock_.close();
    soundReady_ = false;
}

std::int64_t WebAudioMusic::musicLength() const {
    const std::int64_t decoded = clock_.musicLength();
    return decoded > 0 ? decoded : headerLengthMs_;
}

}  // namespace vantor::web
