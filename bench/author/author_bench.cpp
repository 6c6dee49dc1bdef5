// Author mode against the shipped show, offscreen at 640 x 480:
//
//   rebuild    building every effect anew (what each reload does), against
//              the first start-up with its loading screen, as the peer
//   save       a file saved in the data folder until the first frame drawn
//              after the reload (watcher, settling, reload, one frame), for
//              the script (changed after the playhead: taken over; before it:
//              effects built anew), a picture and a scene: median and worst
//              of N saves
//   seek       a backward seek (effects built anew, timeline restarted) until
//              the next frame is drawn; a forward seek likewise
//   memory     resident set size after 1 and after M reloads
//
//   author_bench SHOW_DIR ARCHIVE SOUNDTRACK [--saves N] [--reloads M]
//
// SHOW_DIR is a folder holding the whole show (ppd extract ARCHIVE SHOW_DIR);
// the bench works on a copy of it. Run it on a quiet machine and take the
// median of several runs; the load average is printed with the figures.
#include "app/author/author_session.h"
#include "app/demo.h"
#include "runtime/fatal_error.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "runtime/startup_files.h"
#include "app/windowless_messages.h"
#include "libs/log/progress_log.h"
#include "platform/folder_watcher.h"
#include "platform/offscreen_gl.h"
#include "scene/scene_error.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t steadyMs() { return static_cast<std::int64_t>(nowMs()); }

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct Figures {
    std::vector<double> ms;
    double median() {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Saves the way editors do: a temporary file renamed over the old one.
void saveByRename(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    fs::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: author_bench SHOW_DIR ARCHIVE SOUNDTRACK [--saves N] [--reloads M]\n");
        return 2;
    }
    int saves = 20, reloads = 1000;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--saves") saves = std::atoi(argv[i + 1]);
        if (std::string(argv[i]) == "--reloads") reloads = std::atoi(argv[i + 1]);
    }
    const fs::path copy = fs::temp_directory_path() / ("author_bench." + std::to_string(::getpid()));
    fs::remove_all(copy);
    fs::copy(argv[1], copy, fs::copy_options::recursive);
    const std::string archive = fs::absolute(argv[2]).string();
    const std::string soundtrack = fs::absolute(argv[3]).string();
    const std::string folder = copy.string();

    const int answers = ::dup(STDOUT_FILENO);
    auto say = [answers](const std::string& line) {
        const std::string text = line + "\n";
        if (::write(answers, text.data(), text.size()) < 0) std::abort();
    };
    // The figures alone on standard output: the libraries' progress lines are off.
    vantor::log::setProgressQuiet(true);

    std::string error;
    auto gl = vantor::platform::OffscreenGL::create(640, 480, &error);
    if (!gl) {
        std::fprintf(stderr, "author_bench: %s\n", error.c_str());
        return 1;
    }
    ScopedFatalErrorCapture fatalErrors;
    ScopedSceneErrorCapture sceneErrors;
    OffscreenTarget target(*gl);
    OfflineMusic music;
    WindowlessMessages messages;
    StartupFiles files = kDemoFiles;
    files.archive = archive.c_str();
    files.soundtrack = soundtrack.c_str();
    files.dataFolder = folder.c_str();

    double t0 = nowMs();
    EffectTable table;
    Demo demo(target, table, files, music, messages, Demo::BuildErrors::Keep);
    const double firstStart = nowMs() - t0;
    std::string lastReport;
    AuthorSession session(demo, {folder, files.script, soundtrack}, vantor::platform::watchFolder(folder), steadyMs,
                          [&](const std::string& text) { lastReport = text; });
    session.start();
    music.clock().set(60000);
    session.pass();

    char line[256];
    say("load average: " + readAll("/proc/loadavg"));

    Figures rebuild;
    for (int i = 0; i < 10; ++i) {
        t0 = nowMs();
        demo.rebuildEffects();
        rebuild.ms.push_back(nowMs() - t0);
    }
    std::snprintf(line, sizeof line, "rebuild: median %.1f ms, worst %.1f ms; first start-up %.1f ms; ratio %.2f",
                  rebuild.median(), rebuild.worst(), firstStart, rebuild.median() / firstStart);
    say(line);

    session.reload();
    const long after1 = residentKb();
    for (int i = 1; i < reloads; ++i) {
        session.reload();
        session.pass();
    }
    std::snprintf(line, sizeof line, "resident memory: %ld kB after 1 reload, %ld kB after %d", after1, residentKb(),
                  reloads);
    say(line);

    // Save -> the first frame after the reload.
    auto saveFigures = [&](const char* name, const fs::path& file, auto change) {
        const std::string original = readAll(file);
        Figures figures;
        for (int i = 0; i < saves; ++i) {
            const int before = session.reloads();
            const double saved = nowMs();
            saveByRename(file, change(original, i));
            const auto drawn = demo.loop().framesDrawn();
            while (session.reloads() == before || demo.loop().framesDrawn() == drawn) {
                if (!session.pass()) break;
                if (nowMs() - saved > 10000) break;
            }
            figures.ms.push_back(nowMs() - saved);
        }
        saveByRename(file, original);
        std::snprintf(line, sizeof line, "save %-27s -> new picture: median %.1f ms, worst %.1f ms (%d saves)%s%s",
                      name, figures.median(), figures.worst(), saves,
                      lastReport.empty() ? "" : "; last error: ", lastReport.c_str());
        say(line);
    };
    const fs::path data = copy / "data";
    // A script changed after the playhead only takes over from the old one;
    // one changed before it builds the effects anew and replays.
    saveFigures("script, after the playhead", data / "script.scr",
                [](const std::string& text, int i) { return text + "\n// save " + std::to_string(i) + "\n"; });
    saveFigures("script, before the playhead", data / "script.scr", [](const std::string& text, int i) {
        std::string changed = text;
        const std::size_t at = changed.find("TIMELINE");
        if (at != std::string::npos)
            changed.insert(changed.find('\n', at) + 1, "1 SIGNAL 3 0 save" + std::to_string(i) + "\n");
        return changed;
    });
    saveFigures("picture", data / "images" / "rotule.pcx", [](const std::string& bytes, int i) {
        std::string changed = bytes;
        // A byte of the picture data (after the 128-byte header).
        if (changed.size() > 200) changed[200] = static_cast<char>(i);
        return changed;
    });
    saveFigures("scene", data / "arm.ppp", [](const std::string& bytes, int) { return bytes; });

    // Seeks: the call and the next frame.
    Figures back, forward;
    for (int i = 0; i < 10; ++i) {
        music.clock().set(120000);
        session.pass();
        t0 = nowMs();
        session.seek(30000);
        session.pass();
        back.ms.push_back(nowMs() - t0);
        t0 = nowMs();
        session.seek(150000);
        session.pass();
        forward.ms.push_back(nowMs() - t0);
    }
    std::snprintf(line, sizeof line, "seek back -> frame: median %.1f ms, worst %.1f ms; forward: median %.1f ms",
                  back.median(), back.worst(), forward.median());
    say(line);

    say("load average: " + readAll("/proc/loadavg"));
    demo.shutdown();
    fs::remove_all(copy);
    return 0;
}
