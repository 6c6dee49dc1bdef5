// How long a sample-exact seek on the soundtrack takes before its first block
// of sound is ready (what author mode's seek keys and the control channel's
// "seek" wait for), against the peer: decoding the next block in plain play.
// Runs on the demo's own soundtrack (four minutes, 44.1 kHz stereo); prints
// the ratio after the benchmarks.
#include "bench/scene/time_reporter.h"
#include "platform/mp3_decoder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using vantor::platform::Mp3Decoder;

constexpr std::size_t kBlockFrames = 1024;  // the sound output's block

Mp3Decoder& soundtrack() {
    static Mp3Decoder decoder;
    if (!decoder.isOpen() && !decoder.open(VANTOR_BENCH_SOUNDTRACK)) {
        std::fprintf(stderr, "seek_bench: cannot open %s\n", VANTOR_BENCH_SOUNDTRACK);
        std::exit(1);
    }
    return decoder;
}

// A seek to a random sample anywhere in the file, then the block from there.
void BM_SeekThenFirstBlock(benchmark::State& state) {
    Mp3Decoder& decoder = soundtrack();
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> position(0, decoder.lengthFrames() - 2 * kBlockFrames);
    std::vector<std::int16_t> block(2 * kBlockFrames);
    for (auto _ : state) {
        decoder.seekFrame(position(random));
        benchmark::DoNotOptimize(decoder.readFrames(block.data(), kBlockFrames));
    }
}
BENCHMARK(BM_SeekThenFirstBlock)->Unit(benchmark::kMicrosecond);

// The peer: the next block of plain play.
void BM_NextBlockInPlay(benchmark::State& state) {
    Mp3Decoder& decoder = soundtrack();
    decoder.seekFrame(0);
    std::vector<std::int16_t> block(2 * kBlockFrames);
    for (auto _ : state) {
        if (decoder.readFrames(block.data(), kBlockFrames) < kBlockFrames) decoder.seekFrame(0);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_NextBlockInPlay)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vantor::bench::TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The median of repeated runs where there are repetitions.
    const auto& times = reporter.times();
    auto find = [&](const std::string& name) {
        const auto median = times.find(name + "_median");
        return median != times.end() ? median : times.find(name);
    };
    const auto seek = find("BM_SeekThenFirstBlock");
    const auto play = find("BM_NextBlockInPlay");
    if (seek != times.end() && play != times.end() && play->second > 0)
        std::printf(
            "\nseek + first block: %.0f us, %.1fx the next block in plain play (%.0f us); a block plays %.1f ms\n",
            seek->second, seek->second / play->second, play->second, 1000.0 * kBlockFrames / 44100.0);
    benchmark::Shutdown();
    return 0;
}
