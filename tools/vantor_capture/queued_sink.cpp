#include "tools/vantor_capture/queued_sink.h"

#include <utility>

QueuedSink::QueuedSink(std::unique_ptr<FrameSink> target, std::size_t capacity)
    : target_(std::move(target)), capacity_(capacity > 0 ? capacity : 1), writer_([this] { writeFrames(); }) {}

QueuedSink::~QueuedSink() {
    std::string ignored;
    finish(&ignored);
}

bool QueuedSink::write(int time, std::vector<std::uint8_t> rgba, std::string* error) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < capacity_ || failed_; });
    if (failed_) {
        if (error) *error = failure_;
        return false;
    }
    queue_.push_back({time, std::move(rgba)});
    changed_.notify_all();
    return true;
}

void QueuedSink::writeFrames() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;  // closing, and everything written
        Frame frame = std::move(queue_.front());
        queue_.pop_front();
        changed_.notify_all();  // room for the renderer
        lock.unlock();
        std::string reason;
        const bool written = target_->write(frame.time, std::move(frame.rgba), &reason);
        lock.lock();
        if (!written) {
            failed_ = true;
            failure_ = reason;
            queue_.clear();
            changed_.notify_all();
            return;
        }
    }
}

bool QueuedSink::finish(std::string* error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (finished_) return !failed_;
        finished_ = true;
        closing_ = true;
    }
    changed_.notify_all();
    writer_.join();
    std::string reason;
    if (failed_) {
        // The target is still completed, so that it cleans up after itself
        // (a video that failed leaves no file behind).
        target_->finish(&reason);
        if (error) *error = failure_;
        return false;
    }
    if (!target_->finish(&reason)) {
        failed_ = true;
        if (error) *error = reason;
        return false;
    }
    return true;
}
