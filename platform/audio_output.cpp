#include "platform/audio_output.h"

#include "platform/mp3_decoder.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace vantor::platform {

namespace {
constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * static_cast<int>(sizeof(std::int16_t));
// 1024 frames: the dummy driver then runs at real speed, and the clock moves
// in steps of about 23 ms at 44100 Hz.
constexpr Uint16 kBufferFrames = 1024;
}  // namespace

AudioOutput::~AudioOutput() { close(); }

bool AudioOutput::open(int rate) {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (!subsystemStarted_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystemStarted_ = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &AudioOutput::callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to what the hardware wants, so the
    // callback always works at the file's own rate and the count stays exact.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) return false;
    rate_ = rate;
    publish(0, 0, 0);
    return true;
}

void AudioOutput::close() {
    // Silent from here: the clock stays at the end of what was taken.
    locked([&] { publish(consumed_.load(std::memory_order_relaxed), 0, 0); });
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (subsystemStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemStarted_ = false;
    }
    source_ = nullptr;
    rate_ = 0;
}

void AudioOutput::setSource(PcmSource* source) {
    locked([&] { source_ = source; });
}

void AudioOutput::setMonitor(Monitor monitor) {
    locked([&] { monitor_ = std::move(monitor); });
}

void AudioOutput::pause(bool paused) {
    if (device_ != 0) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void AudioOutput::locked(const std::function<void()>& work) {
    if (device_ == 0) {
        work();
        return;
    }
    SDL_LockAudioDevice(device_);
    work();
    SDL_UnlockAudioDevice(device_);
}

void AudioOutput::callback(void* self, std::uint8_t* stream, int length) {
    static_cast<AudioOutput*>(self)->fill(stream, length);
}

void AudioOutput::fill(std::uint8_t* stream, int length) {
    const int frames = length / kFrameBytes;
    std::size_t got = 0;
    if (source_) got = source_->readFrames(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(frames));
    const std::size_t filledBytes = got * kFrameBytes;
    if (filledBytes < static_cast<std::size_t>(length))
        std::memset(stream + filledBytes, 0, static_cast<std::size_t>(length) - filledBytes);
    if (monitor_) monitor_(reinterpret_cast<const std::int16_t*>(stream), static_cast<std::size_t>(frames));
    publish(consumed_.load(std::memory_order_relaxed) + frames, frames, SDL_GetPerformanceCounter());
}

void AudioOutput::publish(std::int64_t consumed, std::int64_t block, std::uint64_t ticks) {
    sequence_.fetch_add(1, std::memory_order_acq_rel);
    consumed_.store(consumed, std::memory_order_relaxed);
    lastBlock_.store(block, std::memory_order_relaxed);
    lastBlockTicks_.store(ticks, std::memory_order_relaxed);
    sequence_.fetch_add(1, std::memory_order_acq_rel);
}

void AudioOutput::resetFramesConsumed() { publish(0, 0, 0); }

std::int64_t AudioOutput::framesPlayed() const {
    std::int64_t consumed = 0, block = 0;
    std::uint64_t ticks = 0;
    for (;;) {
        const std::uint32_t before = sequence_.load(std::memory_order_acquire);
        if (before & 1u) continue;  // the audio thread is writing
        consumed = consumed_.load(std::memory_order_relaxed);
        block = lastBlock_.load(std::memory_order_relaxed);
        ticks = lastBlockTicks_.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(std::memory_order_relaxed) == before) break;
    }
    if (block <= 0 || rate_ <= 0) return consumed;
    const std::uint64_t now = SDL_GetPerformanceCounter();
    const std::uint64_t elapsed = now > ticks ? now - ticks : 0;
    const auto frequency = static_cast<long double>(SDL_GetPerformanceFrequency());
    const auto playing = static_cast<std::int64_t>(static_cast<long double>(elapsed) * rate_ / frequency);
    return consumed - block + std::min(playing, block);
}

}  // namespace vantor::platform
