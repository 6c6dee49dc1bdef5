#include "app/author/line_reader.h"

#include <deque>
#include <mutex>
#include <thread>
#include <unistd.h>

struct LineReader::Shared {
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
};

LineReader::LineReader(int fd) : shared_(std::make_shared<Shared>()) {
    std::thread([shared = shared_, fd] {
        std::string partial;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) break;
            std::lock_guard<std::mutex> lock(shared->mutex);
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] == '\n') {
                    shared->lines.push_back(std::move(partial));
                    partial.clear();
                } else if (partial.size() < 65536) {
                    partial += buffer[i];
                }
            }
        }
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (!partial.empty()) shared->lines.push_back(std::move(partial));
        shared->ended = true;
    }).detach();
}

LineReader::~LineReader() = default;

std::optional<std::string> LineReader::take() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->lines.empty()) return std::nullopt;
    std::string line = std::move(shared_->lines.front());
    shared_->lines.pop_front();
    return line;
}

bool LineReader::ended() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->ended && shared_->lines.empty();
}
