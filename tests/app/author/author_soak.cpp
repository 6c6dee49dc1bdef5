// author_soak: vantor --data DIR --control under a stream of broken saves and
// random commands, seeded and repeatable.
//
//   author_soak VANTOR DEMO_DIR SECONDS [SEED]
//
// VANTOR is the program (next to the shipped archive and soundtrack),
// DEMO_DIR holds the shipped data as loose files (the good copies). For
// SECONDS it saves a random fault every fraction of a second to a file of the
// folder (scripts with lines dropped, swapped or garbled, out-of-range ids and
// codes, empty and truncated files; pictures and scenes truncated, corrupted,
// deleted or replaced by a folder; in place or by rename) and sends random
// seek, pause, play, loop, reload, shot, step and status commands in between.
// It holds that vantor stays up, answers every command within kAnswerSeconds,
// keeps its resident memory flat, and that once the good files are back the
// picture at a fixed time equals the one of the fresh start. Prints one line
// of figures; exit 0 when all held.
#include "tests/app/author/author_child.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using vantor::test::AuthorChild;
using vantor::test::readPng;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kAnswerSeconds = 10;
constexpr int kCheckTime = 30000;  // the fixed time compared at the end
// The folder's files: the script, scenes and pictures the show reads.
const char* const kFiles[] = {"data/script.scr",          "data/modul2.ppp",       "data/boost.ppp",
                              "data/images/particle.pcx", "data/images/title.pcx", "data/images/kake2.jpg",
                              "data/images/zoom1.jpg"};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double meanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.empty() || a.size() != b.size()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

// One random broken save of one file (or the good file back).
class Faults {
public:
    Faults(fs::path folder, fs::path good, unsigned seed)
        : folder_(std::move(folder)), good_(std::move(good)), random_(seed) {}

    void restoreAll() {
        for (const char* name : kFiles) restore(name);
    }
    void saveOne() {
        const std::string name = kFiles[pick(std::size(kFiles))];
        ++saved_;
        if (pick(5) == 0) {
            restore(name);
            return;
        }
        std::string bytes = readAll(good_ / name);
        const bool script = name == std::string("data/script.scr");
        switch (pick(script ? 7 : 4)) {
        case 0: bytes.resize(pick(bytes.size() + 1)); break;  // truncated
        case 1: bytes.clear(); break;
        case 2:  // corrupted
            for (int i = 0, n = 1 + static_cast<int>(pick(64)); i < n && !bytes.empty(); ++i)
                bytes[pick(bytes.size())] = static_cast<char>(pick(256));
            break;
        case 3:
            if (pick(2) == 0) {
                clear(name);  // deleted
            } else {
                clear(name);
                fs::create_directories(folder_ / name);  // a folder in its place
            }
            return;
        default: bytes = brokenScript(bytes); break;
        }
        save(name, bytes);
    }
    int saved() const { return saved_; }
    std::size_t pick(std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    std::mt19937& random() { return random_; }

private:
    std::string brokenScript(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        if (lines.empty()) return text;
        const std::size_t at = pick(lines.size());
        switch (pick(4)) {
        case 0: lines.erase(lines.begin() + static_cast<long>(at)); break;
        case 1: std::swap(lines[at], lines[pick(lines.size())]); break;
        case 2: lines[at] += "\x01\xff garbled \x7f"; break;
        default: {
            // An out-of-range id or code in an event line.
            static const char* const kValues[] = {"99", "-1", "4000000000", "1000", "32"};
            lines.insert(lines.begin() + static_cast<long>(at),
                         std::to_string(pick(200000)) + " SIGNAL " + kValues[pick(5)] + " " + kValues[pick(5)] + " 7");
        }
        }
        std::string out;
        for (const std::string& line : lines) out += line + "\n";
        return out;
    }
    void clear(const std::string& name) {
        std::error_code ec;
        fs::remove_all(folder_ / name, ec);
    }
    // In place or by rename, as editors save.
    void save(const std::string& name, const std::string& bytes) {
        clear(name);
        fs::create_directories((folder_ / name).parent_path());
        if (pick(2) == 0) {
            writeAll(folder_ / name, bytes);
        } else {
            const fs::path temporary = folder_ / (name + ".saving");
            writeAll(temporary, bytes);
            fs::rename(temporary, folder_ / name);
        }
    }
    void restore(const std::string& name) { save(name, readAll(good_ / name)); }

    fs::path folder_, good_;
    std::mt19937 random_;
    int saved_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: author_soak VANTOR DEMO_DIR SECONDS [SEED]\n", stderr);
        return 2;
    }
    const std::string vantor = argv[1];
    const fs::path demo = argv[2];
    const double seconds = std::atof(argv[3]);
    const unsigned seed = argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 1;

    char pattern[] = "/tmp/author-soak.XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const fs::path work = pattern;
    const fs::path folder = work / "show";
    Faults faults(folder, demo, seed);
    faults.restoreAll();

    int failures = 0;
    auto expect = [&](bool held, const std::string& what) {
        if (!held) {
            ++failures;
            std::fprintf(stderr, "author_soak: %s\n", what.c_str());
        }
        return held;
    };
    long before = 0, after = 0;
    int answered = 0;
    double difference = 255, grain = 0;
    {
        AuthorChild child(work.string(), {vantor, "--data", "show", "--control"}, true);
        auto ask = [&](const std::string& command) {
            const std::string answer = child.ask(command, kAnswerSeconds);
            if (answer == "<timeout>" || answer == "<closed>") {
                expect(false, "\"" + command + "\" got " + answer);
                return answer;
            }
            ++answered;
            return answer;
        };
        // The fresh start's picture at the fixed time.
        ask("pause");
        ask("seek " + std::to_string(kCheckTime));
        const std::string reference = (work / "reference.png").string();
        expect(ask("shot " + reference) == "ok", "no reference shot");
        // The noise layer's grain is random: two shots of the same time tell
        // how much of the difference is grain.
        const std::string again = (work / "again.png").string();
        expect(ask("shot " + again) == "ok", "no second reference shot");
        grain = meanDifference(readPng(reference), readPng(again));
        // Memory after a few rebuilds, once the caches and the allocator
        // have their working size.
        for (int i = 0; i < 4; ++i) {
            ask("reload");
            ask("seek 0");
            ask("seek " + std::to_string(kCheckTime));
        }
        before = child.residentKb();

        static const char* const kCommands[] = {"pause", "play",   "reload",    "loop off",
                                                "time",  "status", "mark next", "mark prev"};
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        auto nextFault = Clock::now();
        while (Clock::now() < end && failures == 0) {
            if (Clock::now() >= nextFault) {
                faults.saveOne();
                nextFault = Clock::now() + std::chrono::milliseconds(50 + faults.pick(400));
            }
            std::string command;
            switch (faults.pick(8)) {
            case 0: command = "seek " + std::to_string(faults.pick(260000)); break;
            case 1: {
                const std::size_t from = faults.pick(239000);
                command = "loop " + std::to_string(from) + " " + std::to_string(from + 1 + faults.pick(8000));
                break;
            }
            case 2: command = "shot " + (work / "shot.png").string(); break;
            case 3: {
                int count = static_cast<int>(faults.pick(17)) - 8;
                if (count == 0) count = 1;
                command = std::string("step ") + (faults.pick(2) ? "beat " : "bar ") + std::to_string(count);
                break;
            }
            default: command = kCommands[faults.pick(std::size(kCommands))]; break;
            }
            ask(command);
            std::this_thread::sleep_for(std::chrono::milliseconds(faults.pick(60)));
        }

        // The good files back: once they have settled, the same picture.
        faults.restoreAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        ask("loop off");
        ask("pause");
        expect(ask("reload") == "ok", "the good files do not reload");
        ask("seek 0");
        ask("seek " + std::to_string(kCheckTime));
        const std::string last = (work / "last.png").string();
        expect(ask("shot " + last) == "ok", "no last shot");
        difference = meanDifference(readPng(reference), readPng(last));
        expect(difference <= grain + 2.0, "the picture at the fixed time differs from the fresh start's");
        after = child.residentKb();
        expect(after <= before + 100 * 1024, "resident memory grew");
        const std::string status = ask("status");
        expect(status.size() >= 2 && status.substr(status.size() - 2) == "ok",
               "status after the good files: " + status);
        expect(ask("quit") == "ok", "quit");
        expect(child.wait() == 0, "vantor did not end with 0");
        std::printf(
            "author_soak: seed %u, %.0f s: %d faults saved, %d commands answered (slowest %.2f s), resident "
            "memory %ld kB after the fresh start, %ld kB at the end, picture difference at %d ms %.3f (grain %.3f)\n",
            seed, seconds, faults.saved(), answered, child.slowest(), before, after, kCheckTime, difference, grain);
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    return failures == 0 ? 0 : 1;
}
