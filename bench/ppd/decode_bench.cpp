// Archive reader speed against its two natural peers on the same inputs, in
// one run: `gzip -dc` on the input packed by gzip -9 (zlib's inflate is the
// same LZ + Huffman family) and unar on the same archive.
//
// Inputs: text (the system's C headers), binaries (the system's shared
// libraries), the demo's data packed as the demo packs it (encrypted, not
// solid) and a WAV, which the packer codes in multimedia mode.
//
// Every decoder runs as its own process writing to /dev/null: ours is this
// program started again with --decode. The runs of the three are interleaved
// and repeated; the table gives the median processor time (user + system of
// the child, which other work on the shared machine disturbs least) and the
// median wall time, and the ratios peer time / our time (above 1: we are
// faster).
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kPassword = "bench";

using Bytes = std::vector<std::uint8_t>;

struct Input {
    std::string label;
    std::vector<ppd_pack::Member> members;
    bool encrypted = false;
    std::string archive;  // ours and unar read this
    std::string gz;       // gzip -dc reads this: every member back to back
    std::uint64_t bytes = 0;
};

Bytes readFile(const fs::path& path, std::size_t limit = SIZE_MAX) {
    std::ifstream in(path, std::ios::binary);
    Bytes out;
    char chunk[65536];
    while (out.size() < limit && in.read(chunk, sizeof chunk).gcount() > 0)
        out.insert(out.end(), chunk, chunk + in.gcount());
    if (out.size() > limit) out.resize(limit);
    return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Files under `root` whose names pass `keep`, in name order, up to `want` bytes.
Bytes gather(const fs::path& root, std::size_t want, bool (*keep)(const fs::path&)) {
    std::vector<fs::path> paths;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end; it != end;
         it.increment(ec)) {
        if (ec) break;
        std::error_code e2;
        if (it->is_regular_file(e2) && !it->is_symlink(e2) && keep(it->path())) paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    Bytes out;
    for (const fs::path& p : paths) {
        if (out.size() >= want) break;
        const Bytes file = readFile(p, want - out.size());
        out.insert(out.end(), file.begin(), file.end());
    }
    return out;
}

bool isHeader(const fs::path& p) { return p.extension() == ".h"; }
bool isSharedLibrary(const fs::path& p) { return p.filename().string().find(".so") != std::string::npos; }

// A processor time and a wall time, in seconds.
struct Timing {
    double cpu = 0;
    double wall = 0;
};

// Runs argv with stdout on /dev/null; false when it failed.
bool run(const std::vector<std::string>& args, Timing& t) {
    std::vector<char*> argv;
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + v.tv_usec / 1e6; };
    t.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// --decode ARCHIVE [PASSWORD]: every member to stdout, as `ppd cat` does one.
int decodeAll(const char* archive, const char* password) {
    struct Sink {
        bool ok = true;
    } sink;
    const int members = unrarlib_extract_all(
        archive, password,
        [](const unrarlib_list_entry*, const char* data, unsigned long length, void* context) {
            auto& s = *static_cast<Sink*>(context);
            if (!data) {
                s.ok = false;
                return;
            }
            std::size_t done = 0;
            while (done < length) {
                const ssize_t n = write(STDOUT_FILENO, data + done, length - done);
                if (n <= 0) {
                    s.ok = false;
                    return;
                }
                done += static_cast<std::size_t>(n);
            }
        },
        &sink);
    return members > 0 && sink.ok ? 0 : 1;
}

void prepare(Input& in, const fs::path& dir) {
    ppd_pack::PackOptions options;
    if (in.encrypted) options.password = kPassword;
    in.archive = (dir / (in.label + ".rar")).string();
    writeFile(in.archive, ppd_pack::packArchive(in.members, options));
    Bytes joined;
    for (const auto& m : in.members) joined.insert(joined.end(), m.data.begin(), m.data.end());
    in.bytes = joined.size();
    const std::string raw = (dir / (in.label + ".bin")).string();
    writeFile(raw, joined);
    in.gz = raw + ".gz";
    const std::string command = "gzip -9 -c '" + raw + "' > '" + in.gz + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    fs::remove(raw);
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--decode") == 0) return decodeAll(argv[2], argc >= 4 ? argv[3] : nullptr);
    int repeats = 7;
    std::string demoData = VANTOR_DEMO_DATA_DIR;
    std::string wav = VANTOR_SOUNDTRACK_WAV;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--repeats" && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (a == "--demo-data" && i + 1 < argc)
            demoData = argv[++i];
        else if (a == "--wav" && i + 1 < argc)
            wav = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: %s [--repeats N] [--demo-data DIR] [--wav FILE]\n"
                         "Decoding speed of the archive reader against gzip -dc and unar, same inputs.\n",
                         argv[0]);
            return 2;
        }
    }
    Timing probe;
    const bool haveUnar = run({"unar", "-v"}, probe);

    const fs::path dir = fs::temp_directory_path() / ("vantor-decode-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::fprintf(stderr, "preparing the inputs in %s ...\n", dir.c_str());

    std::vector<Input> inputs;
    {
        Input text;
        text.label = "text";
        text.members.push_back({"headers.txt", gather("/usr/include", 24u << 20, isHeader)});
        inputs.push_back(std::move(text));
        Input binary;
        binary.label = "binaries";
        binary.members.push_back({"libraries.bin", gather("/usr/lib/x86_64-linux-gnu", 16u << 20, isSharedLibrary)});
        inputs.push_back(std::move(binary));
        if (fs::is_directory(demoData)) {
            Input demo;
            demo.label = "demo archive";
            demo.encrypted = true;
            std::vector<fs::path> files;
            for (const auto& e : fs::recursive_directory_iterator(demoData))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const fs::path& f : files)
                demo.members.push_back({"data/" + fs::relative(f, demoData).generic_string(), readFile(f)});
            inputs.push_back(std::move(demo));
        } else {
            std::fprintf(stderr, "no demo data at %s: build vantor_demo_archive first\n", demoData.c_str());
        }
        if (fs::is_regular_file(wav)) {
            Input sound;
            sound.label = "wav (multimedia)";
            sound.members.push_back({"soundtrack.wav", readFile(wav, 16u << 20)});
            inputs.push_back(std::move(sound));
        } else {
            std::fprintf(stderr, "no WAV at %s: build the soundtrack target first\n", wav.c_str());
        }
    }
    for (Input& in : inputs) prepare(in, dir);

    std::printf("%-18s %8s | %-22s | %-22s | %-22s | %s\n", "input", "MB", "ours cpu / wall (s)", "gzip -dc cpu / wall",
                "unar cpu / wall", "gzip/ours  unar/ours (cpu; wall)");
    bool failed = false;
    for (const Input& in : inputs) {
        std::vector<double> ours[2], gzip[2], unar[2];
        std::vector<std::string> oursArgs = {argv[0], "--decode", in.archive};
        if (in.encrypted) oursArgs.push_back(kPassword);
        std::vector<std::string> unarArgs = {"unar", "-q", "-o", "-"};
        if (in.encrypted) unarArgs.insert(unarArgs.end(), {"-p", kPassword});
        unarArgs.push_back(in.archive);
        for (int r = 0; r < repeats; ++r) {
            Timing t;
            if (!run(oursArgs, t)) failed = true;
            ours[0].push_back(t.cpu), ours[1].push_back(t.wall);
            if (!run({"gzip", "-dc", in.gz}, t)) failed = true;
            gzip[0].push_back(t.cpu), gzip[1].push_back(t.wall);
            if (haveUnar) {
                if (!run(unarArgs, t)) failed = true;
                unar[0].push_back(t.cpu), unar[1].push_back(t.wall);
            }
        }
        const double oc = median(ours[0]), ow = median(ours[1]);
        const double gc = median(gzip[0]), gw = median(gzip[1]);
        const double uc = median(unar[0]), uw = median(unar[1]);
        std::printf("%-18s %8.1f | %9.3f / %9.3f  | %9.3f / %9.3f  | %9.3f / %9.3f  | %5.2f %5.2f  %5.2f %5.2f\n",
                    in.label.c_str(), in.bytes / 1e6, oc, ow, gc, gw, uc, uw, gc / oc, uc / oc, gw / ow, uw / ow);
        std::fflush(stdout);
    }
    std::printf("medians of %d interleaved runs; load average %s\n", repeats, loadAverage().c_str());
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    if (failed) std::fprintf(stderr, "a decoder failed on some run (see above)\n");
    return failed ? 1 : 0;
}
