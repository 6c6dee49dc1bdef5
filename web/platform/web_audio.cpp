#include "web_audio.h"

#include <cmath>

extern "C" {
// web_audio.js
int vantor_audio_init();
void vantor_audio_load(const char* url);
void vantor_audio_decode(const char* name, const unsigned char* bytes, int size);
int vantor_audio_state();
void vantor_audio_message(char* out, int size);
double vantor_audio_length();
int vantor_audio_running();
double vantor_audio_position();
void vantor_audio_play();
void vantor_audio_pause();
void vantor_audio_seek(double seconds);
void vantor_audio_close();
}

namespace vantor::web {

bool WebAudioClock::start() { return vantor_audio_init() != 0; }

void WebAudioClock::load(const std::string& url) { vantor_audio_load(url.c_str()); }

void WebAudioClock::decode(const std::string& name, const unsigned char* bytes, std::size_t size) {
    vantor_audio_decode(name.c_str(), bytes, static_cast<int>(size));
}

WebAudioClock::State WebAudioClock::state() const {
    switch (vantor_audio_state()) {
    case 1: return State::Loading;
    case 2: return State::Ready;
    case 3: return State::Failed;
    default: return State::NotStarted;
    }
}

std::string WebAudioClock::failure() const {
    char text[512];
    vantor_audio_message(text, sizeof text);
    return text;
}

bool WebAudioClock::audible() const { return vantor_audio_running() != 0; }

void WebAudioClock::close() {
    vantor_audio_close();
    paused_ = true;
}

int WebAudioClock::musicTime() {
    // Whole milliseconds, rounded down: a seek to ms reads back as ms.
    return static_cast<int>(std::floor(vantor_audio_position() * 1000.0 + 1e-6));
}

void WebAudioClock::seekMusic(int ms) { vantor_audio_seek(ms / 1000.0); }

void WebAudioClock::playMusic() {
    paused_ = false;
    vantor_audio_play();
}

void WebAudioClock::pauseMusic() {
    paused_ = true;
    vantor_audio_pause();
}

std::int64_t WebAudioClock::musicLength() const {
    return static_cast<std::int64_t>(std::llround(vantor_audio_length() * 1000.0));
}

}  // namespace vantor::web
