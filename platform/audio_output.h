// The sound output: one SDL audio device playing interleaved 16-bit stereo at a
// given rate, fed from a PcmSource on the audio thread.
//
// The device counts every sample frame it has taken for output (silence after
// the source's end included); that count is the basis of the music clock. It is
// read without a lock and only moves forward until reset.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vantor::platform {

class PcmSource;

class AudioOutput {
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Starts the audio subsystem and opens the output device at `rate`, paused.
    // Reopens when a device is already open. False when no device can be opened.
    bool open(int rate);
    // Closes the device and stops the audio subsystem.
    void close();
    bool isOpen() const { return device_ != 0; }
    int rate() const { return rate_; }

    // Sets the source the device plays from (null: silence). Takes the lock.
    void setSource(PcmSource* source);
    void pause(bool paused);

    // Runs `work` while the audio thread is held off (to move the source).
    void locked(const std::function<void()>& work);

    std::int64_t framesConsumed() const { return consumed_.load(std::memory_order_acquire); }
    // Sets the count to 0; call inside locked() together with moving the source.
    void resetFramesConsumed() { consumed_.store(0, std::memory_order_release); }

private:
    static void callback(void* self, std::uint8_t* stream, int length);
    void fill(std::uint8_t* stream, int length);

    bool subsystemStarted_ = false;
    std::uint32_t device_ = 0;
    int rate_ = 0;
    PcmSource* source_ = nullptr;
    std::atomic<std::int64_t> consumed_{0};
};

}  // namespace vantor::platform
