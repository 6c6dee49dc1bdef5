// Decode throughput of the KPX TGA and GIF readers next to stb_image on the
// same files, read from disk by both, and the ratio of the two.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using vantor::test::GifFrame;
using vantor::test::GifSpec;
using vantor::test::Picture;
using vantor::test::TgaSpec;

constexpr int kSize = 512;

struct BenchFile {
    std::string name;  // short label
    std::string path;
    std::size_t pixelBytes;
};

std::vector<BenchFile>& files() {
    static std::vector<BenchFile> list;
    return list;
}

std::string scratchPath(const std::string& name) {
    static const std::string dir = [] {
        std::string pattern = "/tmp/kpx-bench-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return dir + "/" + name;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void makeFiles() {
    const Picture rgb = vantor::test::testPicture(kSize, kSize, 3, 1);
    const Picture rgba = vantor::test::testPicture(kSize, kSize, 4, 2);
    TgaSpec raw;
    raw.topDown = false;  // bottom-up, the common case
    files().push_back({"tga_raw24", scratchPath("raw24.tga"), 3});
    writeFile(files().back().path, vantor::test::tgaFile(raw, kSize, kSize, rgb.pixels));
    TgaSpec rle;
    rle.type = 10;
    rle.depth = 32;
    rle.alphaBits = 8;
    files().push_back({"tga_rle32", scratchPath("rle32.tga"), 4});
    writeFile(files().back().path, vantor::test::tgaFile(rle, kSize, kSize, rgba.pixels));

    for (bool interlaced : {false, true}) {
        GifSpec spec;
        GifFrame frame;
        frame.width = kSize;
        frame.height = kSize;
        frame.interlaced = interlaced;
        const Picture grey = vantor::test::testPicture(kSize, kSize, 1, 3);
        frame.indices = grey.pixels;
        spec.frames.push_back(frame);
        files().push_back({interlaced ? "gif_interlaced" : "gif", scratchPath(interlaced ? "i.gif" : "p.gif"), 1});
        writeFile(files().back().path, vantor::test::gifFile(spec));
    }
}

void BM_Kpx(benchmark::State& state, const BenchFile* file, kpximage* (*reader)(const char*)) {
    for (auto _ : state) {
        kpximage* img = reader(file->path.c_str());
        if (!img) {
            state.SkipWithError(kpx_error_last());
            return;
        }
        benchmark::DoNotOptimize(img->image);
        kpx_free(img);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize * file->pixelBytes);
}

void BM_Stb(benchmark::State& state, const BenchFile* file) {
    for (auto _ : state) {
        int w, h, n;
        unsigned char* data = stbi_load(file->path.c_str(), &w, &h, &n, 0);
        if (!data) {
            state.SkipWithError("stb_image refused the file");
            return;
        }
        benchmark::DoNotOptimize(data);
        stbi_image_free(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize * file->pixelBytes);
}

// Keeps every run's CPU time per iteration (other work on the machine
// stretches wall time) so that the ratios can be printed
// after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    kpx_verbose_off();
    ppd_clear_archive();
    makeFiles();
    for (const BenchFile& f : files()) {
        const bool tga = f.name.rfind("tga", 0) == 0;
        benchmark::RegisterBenchmark(("kpx/" + f.name).c_str(), BM_Kpx, &f, tga ? kpx_load_tga : kpx_load_gif)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("stb/" + f.name).c_str(), BM_Stb, &f)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    // The GIF reader announces every interlaced image on standard output
    // whatever the verbose switch says; the table and the ratios go to
    // standard error, the library's lines nowhere.
    RatioReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    std::fflush(stdout);
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::fprintf(stderr, "\nthroughput ratio kpx / stb_image (above 1: kpx decodes faster)\n");
    for (const BenchFile& f : files()) {
        const auto ours = reporter.times.find("kpx/" + f.name);
        const auto theirs = reporter.times.find("stb/" + f.name);
        if (ours == reporter.times.end() || theirs == reporter.times.end() || ours->second <= 0) continue;
        std::fprintf(stderr, "  %-16s %.2f\n", f.name.c_str(), theirs->second / ours->second);
    }
    for (const BenchFile& f : files()) std::remove(f.path.c_str());
    benchmark::Shutdown();
    return 0;
}
