// The sound output: one SDL audio device playing interleaved 16-bit stereo at a
// given rate, fed from a PcmSource on the audio thread.
//
// The device counts every sample frame it has taken for output (silence after
// the source's end included); that count is the basis of the music clock. The
// device takes about 1024 frames at a time, so framesPlayed() places the play
// point inside the block the device is playing, from the time since it was
// taken: the clock then moves smoothly instead of in 23 ms steps. Both are read
// without a lock and only move forward until reset.
#pragma once

#include <atomic>
#include <cstddef>
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

    // Sees every block the device takes, as it goes out (silence included), on
    // the audio thread: interleaved stereo frames and their count. Takes the
    // lock. For checking what is played.
    using Monitor = std::function<void(const std::int16_t* frames, std::size_t count)>;
    void setMonitor(Monitor monitor);
    void pause(bool paused);

    // Runs `work` while the audio thread is held off (to move the source).
    void locked(const std::function<void()>& work);

    // Frames taken by the device since the last reset.
    std::int64_t framesConsumed() const { return consumed_.load(std::memory_order_acquire); }
    // The frame being played: the start of the block the device took last, plus
    // the frames its playing time covers so far (at most the whole block).
    // 0 until the first block after a reset; never more than framesConsumed().
    std::int64_t framesPlayed() const;
    // Sets the count to 0; call inside locked() together with moving the source.
    void resetFramesConsumed();

private:
    static void callback(void* self, std::uint8_t* stream, int length);
    void fill(std::uint8_t* stream, int length);
    void publish(std::int64_t consumed, std::int64_t block, std::uint64_t ticks);

    bool subsystemStarted_ = false;
    std::uint32_t device_ = 0;
    int rate_ = 0;
    PcmSource* source_ = nullptr;
    Monitor monitor_;
    // Written by the audio thread under a sequence number (odd while writing),
    // so a reader sees the count, the block size and its time together.
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::int64_t> consumed_{0};
    std::atomic<std::int64_t> lastBlock_{0};        // frames of the block taken last
    std::atomic<std::uint64_t> lastBlockTicks_{0};  // performance counter when it was taken
};

}  // namespace vantor::platform
