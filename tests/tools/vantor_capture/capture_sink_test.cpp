// The queue between vantor-capture's renderer and its writers: frames arrive
// in the order written and unchanged (the same PNG files as writing them
// directly), and a writer's failure reaches the renderer and the end result.
#include "tests/support/temp_dir.h"
#include "tools/vantor_capture/png_folder_sink.h"
#include "tools/vantor_capture/queued_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

namespace vantor::test {
namespace {

// Keeps what it is given; fails at frame number failAt (counting from 0).
class RecordingSink : public FrameSink {
public:
    struct Log {
        std::mutex mutex;
        std::vector<int> times;
        std::vector<std::vector<std::uint8_t>> frames;
        bool finished = false;
    };
    RecordingSink(Log& log, int failAt = -1) : log_(log), failAt_(failAt) {}

    bool write(int time, std::vector<std::uint8_t> rgba, std::string* error) override {
        std::lock_guard<std::mutex> lock(log_.mutex);
        if (static_cast<int>(log_.times.size()) == failAt_) {
            *error = "disk full at " + std::to_string(time);
            return false;
        }
        log_.times.push_back(time);
        log_.frames.push_back(std::move(rgba));
        return true;
    }
    bool finish(std::string*) override {
        log_.finished = true;
        return true;
    }

private:
    Log& log_;
    int failAt_;
};

std::vector<std::uint8_t> frame(int n, std::size_t size) {
    std::vector<std::uint8_t> rgba(size);
    for (std::size_t i = 0; i < size; ++i) rgba[i] = static_cast<std::uint8_t>(n * 31 + i * 7 + (i >> 8));
    return rgba;
}

TEST(QueuedSink, FramesArriveInOrderAndUnchanged) {
    for (std::size_t capacity : {1u, 3u, 16u}) {
        RecordingSink::Log log;
        QueuedSink sink(std::make_unique<RecordingSink>(log), capacity);
        std::string error;
        for (int n = 0; n < 200; ++n) ASSERT_TRUE(sink.write(1000 + n * 17, frame(n, 4096 + n), &error));
        ASSERT_TRUE(sink.finish(&error)) << error;
        ASSERT_EQ(log.times.size(), 200u);
        for (int n = 0; n < 200; ++n) {
            EXPECT_EQ(log.times[n], 1000 + n * 17);
            EXPECT_EQ(log.frames[n], frame(n, 4096 + n)) << "frame " << n;
        }
        EXPECT_TRUE(log.finished);
    }
}

TEST(QueuedSink, AWriterFailureStopsTheFramesAndIsReported) {
    RecordingSink::Log log;
    QueuedSink sink(std::make_unique<RecordingSink>(log, 5), 2);
    std::string error;
    int accepted = 0;
    // The renderer learns of the failure at a later write; none of the
    // frames after the failed one are written.
    while (accepted < 1000 && sink.write(accepted, frame(accepted, 64), &error)) ++accepted;
    EXPECT_LT(accepted, 1000);
    EXPECT_EQ(error, "disk full at 5");
    std::string finishError;
    EXPECT_FALSE(sink.finish(&finishError));
    EXPECT_EQ(finishError, "disk full at 5");
    EXPECT_EQ(log.times.size(), 5u);
    EXPECT_TRUE(log.finished);  // the target still cleans up after itself
}

TEST(QueuedSink, PngFilesEqualTheOnesWrittenDirectly) {
    TempDir dir;
    const int width = 37, height = 23;
    PngFolderSink direct(dir.file("direct"), width, height, PngFolderSink::Naming::Numbered);
    auto folder = std::make_unique<PngFolderSink>(dir.file("queued"), width, height, PngFolderSink::Naming::Numbered);
    std::string error;
    ASSERT_TRUE(direct.open(&error) && folder->open(&error)) << error;
    QueuedSink queued(std::move(folder), 4);
    for (int n = 0; n < 30; ++n) {
        ASSERT_TRUE(direct.write(n, frame(n, width * height * 4), &error)) << error;
        ASSERT_TRUE(queued.write(n, frame(n, width * height * 4), &error)) << error;
    }
    ASSERT_TRUE(direct.finish(&error) && queued.finish(&error)) << error;
    auto bytes = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("direct"))) {
        const auto twin = dir.path() / "queued" / entry.path().filename();
        ASSERT_TRUE(std::filesystem::exists(twin)) << twin;
        EXPECT_EQ(bytes(entry.path()), bytes(twin)) << entry.path().filename();
        ++files;
    }
    EXPECT_EQ(files, 30);
}

}  // namespace
}  // namespace vantor::test
