// One metaball frame at 38 x 38 x 38 with six balls, step by step: the field
// with its gradient, the polygoniser and the draw. The field is timed next to
// the straightforward evaluation (every point, every ball, every gradient) it
// must equal; the ratio and the sum of field and polygoniser are printed at
// the end. Frames cycle through scene times spread over the whole show.
#include "bench/scene/offscreen_frame.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "scene/metaball/metaball_object.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

constexpr int kFrames = 64;
// Scene times of frames spread over four minutes at 10 ms a unit.
float frameTime(int n) { return 24000.0f * float(n % kFrames) / kFrames; }

struct Fixture {
    std::filesystem::path folder;
    ImageLibrary images;
    std::unique_ptr<MetaballObject> object;

    Fixture() {
        vantor::bench::offscreenContext("metaball_bench");
        kpx_verbose_off();
        folder = std::filesystem::temp_directory_path() / ("metaball_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        for (const char* name : {MetaballObject::kGalaxyTexture, MetaballObject::kMetalTexture}) {
            kpximage* img = kpx_create(256, 256, 24, 0);
            for (int i = 0; i < 256 * 256; ++i)
                for (int c = 0; c < 3; ++c) img->image[3 * i + c] = std::uint8_t((i * (c + 1)) & 0xff);
            kpx_save_jpg((folder / name).string().c_str(), img);
            kpx_free(img);
        }
        object = std::make_unique<MetaballObject>(images, (folder.string() + "/").c_str());
        std::filesystem::remove_all(folder);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_FieldAndGradient(benchmark::State& state) {
    MetaballObject& o = *fixture().object;
    int n = 0;
    for (auto _ : state) {
        o.update(frameTime(n++));
        o.computeField();
    }
}
BENCHMARK(BM_FieldAndGradient)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The peer: every value and every gradient, point by point.
void BM_FieldEverywhere(benchmark::State& state) {
    MetaballObject& o = *fixture().object;
    int n = 0;
    for (auto _ : state) {
        o.update(frameTime(n++));
        o.placeBalls();
        o.field().computeEverywhere(o.balls());
    }
}
BENCHMARK(BM_FieldEverywhere)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Polygonise(benchmark::State& state) {
    MetaballObject& o = *fixture().object;
    int n = 0;
    long long vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        o.update(frameTime(n++));
        o.computeField();
        state.ResumeTiming();
        vertices += o.polygonise();
    }
    state.counters["vertices"] = double(vertices) / double(state.iterations());
}
BENCHMARK(BM_Polygonise)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_FieldAndPolygonise(benchmark::State& state) {
    MetaballObject& o = *fixture().object;
    int n = 0;
    for (auto _ : state) {
        o.update(frameTime(n++));
        o.computeField();
        o.polygonise();
    }
}
BENCHMARK(BM_FieldAndPolygonise)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Draw(benchmark::State& state) {
    MetaballObject& o = *fixture().object;
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 20000.0);
    glMatrixMode(GL_MODELVIEW);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        o.update(frameTime(n++));
        o.computeField();
        o.polygonise();
        state.ResumeTiming();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluLookAt(0, 0, 60, 0, 0, -19, 0, 1, 0);
        o.drawSurface();
        glFinish();
    }
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Real and CPU time a frame, by benchmark name. On a shared machine the
// thread's CPU time is the figure to hold against the goal.
std::map<std::string, std::pair<double, double>>& seconds() {
    static std::map<std::string, std::pair<double, double>> s;
    return s;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            seconds()[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto time = [](const char* name) {
        for (const auto& [key, value] : seconds())
            if (key.rfind(name, 0) == 0) return value;
        return std::pair<double, double>{0, 0};
    };
    const auto fast = time("BM_FieldAndGradient"), peer = time("BM_FieldEverywhere");
    if (fast.second > 0 && peer.second > 0)
        std::printf("field + gradient / point-by-point field: %.2f (CPU time)\n", fast.second / peer.second);
    const auto frame = time("BM_FieldAndPolygonise");
    if (frame.second > 0)
        std::printf("field + polygonise: %.3f ms CPU, %.3f ms real a frame (goal: under 1 ms)\n", frame.second,
                    frame.first);
    benchmark::Shutdown();
    return 0;
}
