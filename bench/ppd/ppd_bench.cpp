// Archive packer and reader speed on one ~20 MB corpus (C headers, 16-bit
// PCM sound, a raw bitmap, incompressible bytes), set against independent
// tools in the same run: decoding against unar, packed size against gzip -9
// and xz -6. Prints a comparison table after the benchmarks.
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCorpusBytes = 20u << 20;

struct Corpus {
    fs::path dir;
    std::vector<ppd_pack::Member> members;
    std::uint64_t bytes = 0;
    std::string archive;  // packed with the normal (non-solid) settings
    std::string joined;   // every member back to back, for gzip and xz
};

// Text: real C headers of the system (what demo data is made of is mostly
// binary, but text shows the LZ side); padded with generated text if absent.
std::vector<std::uint8_t> headerText(std::size_t want) {
    std::vector<std::uint8_t> out;
    if (fs::exists("/usr/include")) {
        for (const auto& e :
             fs::recursive_directory_iterator("/usr/include", fs::directory_options::skip_permission_denied)) {
            if (out.size() >= want) break;
            if (!e.is_regular_file() || e.path().extension() != ".h") continue;
            std::ifstream in(e.path(), std::ios::binary);
            out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    for (unsigned i = 0; out.size() < want; ++i) {
        const std::string line =
            "static int value_" + std::to_string(i % 977) + " = " + std::to_string(i * 31 % 1000) + ";\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(want);
    return out;
}

std::vector<std::uint8_t> pcm(std::size_t bytes) {
    std::vector<std::uint8_t> out;
    std::uint32_t noise = 1;
    for (std::size_t i = 0; out.size() < bytes; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        for (int channel = 0; channel < 2; ++channel) {
            noise = noise * 1664525u + 1013904223u;
            const double v = 7000 * std::sin(2 * M_PI * (220.0 + 110 * channel) * t) +
                             2500 * std::sin(2 * M_PI * 3.3 * t) * std::sin(2 * M_PI * 880 * t) +
                             static_cast<double>((noise >> 24) & 63) - 32;
            const auto s = static_cast<std::int16_t>(v);
            out.push_back(static_cast<std::uint8_t>(s));
            out.push_back(static_cast<std::uint8_t>(s >> 8));
        }
    }
    out.resize(bytes);
    return out;
}

std::vector<std::uint8_t> bitmap(std::size_t bytes) {
    std::vector<std::uint8_t> out(bytes);
    const std::size_t width = 1024;
    for (std::size_t i = 0; i < bytes; ++i) {
        const std::size_t x = (i / 3) % width, y = (i / 3) / width;
        out[i] = static_cast<std::uint8_t>((x * (1 + i % 3) + y * 2 + ((x * y) >> 7)) & 0xFF);
    }
    return out;
}

std::vector<std::uint8_t> noise(std::size_t bytes) {
    std::vector<std::uint8_t> out(bytes);
    std::uint32_t x = 2463534242u;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return out;
}

Corpus& corpus() {
    static Corpus c = [] {
        Corpus k;
        k.dir = fs::temp_directory_path() / ("vantor-ppd-bench-" + std::to_string(getpid()));
        fs::create_directories(k.dir);
        k.members = {{"data/headers.txt", headerText(kCorpusBytes * 45 / 100)},
                     {"data/sound.pcm", pcm(kCorpusBytes * 30 / 100)},
                     {"data/image.raw", bitmap(kCorpusBytes * 20 / 100)},
                     {"data/noise.bin", noise(kCorpusBytes * 5 / 100)}};
        for (const auto& m : k.members) {
            k.bytes += m.data.size();
            k.joined.insert(k.joined.end(), m.data.begin(), m.data.end());
        }
        const auto packed = ppd_pack::packArchive(k.members, {});
        k.archive = (k.dir / "corpus.rar").string();
        std::ofstream(k.archive, std::ios::binary)
            .write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
        std::ofstream((k.dir / "joined.bin").string(), std::ios::binary)
            .write(k.joined.data(), static_cast<std::streamsize>(k.joined.size()));
        return k;
    }();
    return c;
}

// Figures gathered for the closing table.
std::map<std::string, double> figures;

void recordRate(benchmark::State& state, const std::string& name, double seconds) {
    const double rate = static_cast<double>(corpus().bytes) * static_cast<double>(state.iterations()) / seconds / 1e6;
    state.counters["MB/s"] = rate;
    figures[name + " MB/s"] = rate;
}

template <typename F>
double timed(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PackNormal(benchmark::State& state) {
    Corpus& c = corpus();
    double seconds = 0;
    std::size_t size = 0;
    for (auto _ : state) seconds += timed([&] { size = ppd_pack::packArchive(c.members, {}).size(); });
    recordRate(state, "ppd pack", seconds);
    state.counters["packed bytes"] = static_cast<double>(size);
    figures["ppd pack bytes"] = static_cast<double>(size);
}

void BM_PackSolidEncrypted(benchmark::State& state) {
    Corpus& c = corpus();
    ppd_pack::PackOptions options;
    options.solid = true;
    options.password = "quorbel";
    double seconds = 0;
    std::size_t size = 0;
    for (auto _ : state) seconds += timed([&] { size = ppd_pack::packArchive(c.members, options).size(); });
    recordRate(state, "ppd pack --solid --password", seconds);
    state.counters["packed bytes"] = static_cast<double>(size);
    figures["ppd pack --solid --password bytes"] = static_cast<double>(size);
}

void BM_PackStore(benchmark::State& state) {
    Corpus& c = corpus();
    ppd_pack::PackOptions options;
    options.store = true;
    double seconds = 0;
    for (auto _ : state) seconds += timed([&] { benchmark::DoNotOptimize(ppd_pack::packArchive(c.members, options)); });
    recordRate(state, "ppd pack --store", seconds);
}

void BM_DecodeOurs(benchmark::State& state) {
    Corpus& c = corpus();
    double seconds = 0;
    for (auto _ : state) {
        seconds += timed([&] {
            for (const auto& m : c.members) {
                char* data = nullptr;
                unsigned long length = 0;
                if (!unrarlib_extract(c.archive.c_str(), m.name.c_str(), &data, &length, nullptr))
                    state.SkipWithError("extraction failed");
                std::free(data);
            }
        });
    }
    recordRate(state, "decode ours", seconds);
}

// The independent tools run as processes on the same files (their start-up
// time is included, which is small against 20 MB).
double runTool(const std::string& command) {
    return timed([&] {
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    });
}

void BM_DecodeUnar(benchmark::State& state) {
    Corpus& c = corpus();
    if (std::system("command -v unar >/dev/null 2>&1") != 0) {
        state.SkipWithError("unar not installed");
        return;
    }
    const std::string out = (c.dir / "unar").string();
    double seconds = 0;
    for (auto _ : state) {
        fs::remove_all(out);
        seconds += runTool("unar -q -f -D -o '" + out + "' '" + c.archive + "' >/dev/null");
    }
    recordRate(state, "decode unar", seconds);
}

void compressWith(benchmark::State& state, const std::string& tool, const std::string& name) {
    Corpus& c = corpus();
    const std::string in = (c.dir / "joined.bin").string();
    const std::string out = (c.dir / "joined.out").string();
    double seconds = 0;
    for (auto _ : state) seconds += runTool(tool + " -c '" + in + "' > '" + out + "'");
    recordRate(state, name, seconds);
    figures[name + " bytes"] = static_cast<double>(fs::file_size(out));
    state.counters["packed bytes"] = figures[name + " bytes"];
}

void BM_Gzip9(benchmark::State& state) { compressWith(state, "gzip -9", "gzip -9"); }
void BM_Xz6(benchmark::State& state) { compressWith(state, "xz -6 -T1", "xz -6"); }

BENCHMARK(BM_PackNormal)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_PackSolidEncrypted)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PackStore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DecodeOurs)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DecodeUnar)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Gzip9)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Xz6)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void printSummary() {
    const double input = static_cast<double>(corpus().bytes);
    auto f = [](const std::string& k) { return figures.count(k) ? figures[k] : 0.0; };
    std::printf("\ncorpus: %.1f MB\n", input / 1e6);
    std::printf("decode   ours %8.1f MB/s   unar %8.1f MB/s   ours/unar %.2f\n", f("decode ours MB/s"),
                f("decode unar MB/s"), f("decode unar MB/s") > 0 ? f("decode ours MB/s") / f("decode unar MB/s") : 0);
    std::printf("size     ppd pack %10.0f  (%.3f)   --solid --password %10.0f (%.3f)\n", f("ppd pack bytes"),
                f("ppd pack bytes") / input, f("ppd pack --solid --password bytes"),
                f("ppd pack --solid --password bytes") / input);
    std::printf("         gzip -9  %10.0f  (%.3f)   xz -6 %10.0f (%.3f)   ppd/gzip %.2f  ppd/xz %.2f\n",
                f("gzip -9 bytes"), f("gzip -9 bytes") / input, f("xz -6 bytes"), f("xz -6 bytes") / input,
                f("gzip -9 bytes") > 0 ? f("ppd pack bytes") / f("gzip -9 bytes") : 0,
                f("xz -6 bytes") > 0 ? f("ppd pack bytes") / f("xz -6 bytes") : 0);
    std::printf("pack     ppd pack %6.1f MB/s   --store %6.1f MB/s   gzip -9 %6.1f MB/s   xz -6 %6.1f MB/s\n",
                f("ppd pack MB/s"), f("ppd pack --store MB/s"), f("gzip -9 MB/s"), f("xz -6 MB/s"));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(corpus().dir, ignored);
    return 0;
}
