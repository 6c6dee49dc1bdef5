// Frames handed to another sink on a thread of its own, so that the renderer
// draws the next frames while the previous ones are encoded or written. A
// bounded queue sits between the two: write() returns at once unless the
// queue is full, and then waits for room. The frames reach the other sink in
// the order written, unchanged.
#pragma once

#include "tools/vantor_capture/frame_sink.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class QueuedSink : public FrameSink {
public:
    // Frames go to `target`, at most `capacity` (>= 1) waiting at a time.
    QueuedSink(std::unique_ptr<FrameSink> target, std::size_t capacity);
    // Finishes when finish() was not called (errors are then dropped).
    ~QueuedSink() override;

    // Queues the frame. False (with the reason in *error) once writing an
    // earlier frame failed: the frames after a failure are dropped.
    bool write(int time, std::vector<std::uint8_t> rgba, std::string* error) override;
    // Waits until every queued frame is written, then completes the target.
    // False with the reason of the first failure.
    bool finish(std::string* error) override;

private:
    struct Frame {
        int time;
        std::vector<std::uint8_t> rgba;
    };

    void writeFrames();

    std::unique_ptr<FrameSink> target_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Frame> queue_;
    bool closing_ = false;
    bool failed_ = false;
    bool finished_ = false;
    std::string failure_;
    std::thread writer_;
};
