#include "app/author/author_run.h"

#include "app/author/author_control.h"
#include "app/author/author_session.h"
#include "app/author/line_reader.h"
#include "app/demo.h"
#include "app/demo_window.h"
#include "app/fatal_error.h"
#include "app/startup_files.h"
#include "platform/folder_watcher.h"
#include "scene/scene_error.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A file the demo ships: in the working directory, else next to the program.
std::string shippedFile(const char* name) {
    std::error_code ec;
    if (fs::exists(name, ec)) return name;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(program.parent_path() / name, ec)) return (program.parent_path() / name).string();
    return name;
}

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void reportOnStderr(const std::string& text) {
    if (text.empty())
        std::fputs("vantor: reloaded\n", stderr);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace

int runAuthorMode(const AuthorOptions& options) {
    std::string error;
    auto watcher = vantor::platform::watchFolder(options.folder, &error);
    if (!watcher) {
        std::fprintf(stderr, "vantor: %s\n", error.c_str());
        return 1;
    }
    const std::string archive = shippedFile(kDemoFiles.archive);
    const fs::path folderSoundtrack = fs::path(options.folder) / kDemoFiles.soundtrack;
    std::error_code ec;
    const std::string soundtrack =
        fs::is_regular_file(folderSoundtrack, ec) ? folderSoundtrack.string() : shippedFile(kDemoFiles.soundtrack);

    StartupFiles files = kDemoFiles;
    files.archive = archive.c_str();
    files.soundtrack = soundtrack.c_str();
    files.dataFolder = options.folder.c_str();

    // With --control, standard output carries the answers alone: what the
    // libraries print there goes to standard error instead.
    int answers = -1;
    if (options.control) {
        std::fflush(stdout);
        answers = ::dup(STDOUT_FILENO);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
    }

    DemoWindow window(true, "Vantor", 640, 480);
    // From here on the demo's fatal ends throw, and the session catches them.
    ScopedFatalErrorCapture fatalErrors;
    ScopedSceneErrorCapture sceneErrors;
    std::optional<Demo> demo;
    try {
        demo.emplace(window, files, Demo::BuildErrors::Keep);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor: %s\n", e.what());
        return 1;
    }
    AuthorSession session(*demo, {options.folder, files.script, soundtrack}, std::move(watcher), steadyMs,
                          reportOnStderr);
    std::optional<LineReader> input;
    std::optional<AuthorControl> control;
    if (options.control) {
        input.emplace(STDIN_FILENO);
        control.emplace(session, *demo,
                        [answers](const std::string& line) {
                            const std::string text = line + "\n";
                            for (std::size_t at = 0; at < text.size();) {
                                const ssize_t put = ::write(answers, text.data() + at, text.size() - at);
                                if (put <= 0) break;
                                at += static_cast<std::size_t>(put);
                            }
                        },
                        writeCurrentFrame);
    }
    session.start();
    for (;;) {
        if (control) {
            while (!control->busy() && !control->quitRequested())
                if (auto line = input->take())
                    control->handle(*line);
                else
                    break;
            if (control->quitRequested()) break;
        }
        if (!session.pass()) break;
    }
    demo->shutdown();
    return 0;
}
