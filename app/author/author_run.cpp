#include "app/author/author_run.h"

#include "app/author/author_control.h"
#include "app/author/author_keys.h"
#include "app/author/author_session.h"
#include "app/author/folder_files.h"
#include "app/author/frame_rate.h"
#include "app/author/overlay.h"
#include "app/author/overlay_source.h"
#include "app/author/overlay_text.h"
#include "app/author/line_reader.h"
#include "app/demo.h"
#include "app/demo_window.h"
#include "app/runtime/fatal_error.h"
#include "app/runtime/startup_files.h"
#include "platform/folder_watcher.h"
#include "platform/virtual_keys.h"
#include "scene/scene_error.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// An author key pressed in the window.
void authorKey(int key, AuthorSession& session, const FrameLoop& loop, bool& overlayShown) {
    namespace vk = vantor::platform::vk;
    const AuthorKeyPress press = authorKeyPress(key, loop.keyDown(vk::Shift), loop.keyDown(vk::Control));
    if (press.kind == AuthorKey::Transport) session.press(press.transport);
    if (press.kind == AuthorKey::ToggleOverlay) overlayShown = !overlayShown;
}

void reportOnStderr(const std::string& text) {
    std::fflush(stdout);
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
    const FolderFiles folderFiles(options.folder);
    const StartupFiles& files = folderFiles.files();

    // With --control, standard output carries the answers alone: what the
    // libraries print there goes to standard error instead.
    int answers = -1;
    if (options.control) {
        std::fflush(stdout);
        answers = ::dup(STDOUT_FILENO);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        // Whole lines, so that they do not split the messages on stderr.
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
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
    AuthorSession session(*demo, {options.folder, files.script, folderFiles.shippedSoundtrack()}, std::move(watcher),
                          steadyMs, reportOnStderr);
    // The checker's findings, once per read of the script, as vantor-script
    // check prints them.
    session.setFindingsReport([&](const std::vector<std::string>& findings) {
        if (findings.empty()) return;
        std::fflush(stdout);
        for (const std::string& finding : findings) std::fprintf(stderr, "%s\n", finding.c_str());
        std::fflush(stderr);
    });
    std::optional<LineReader> input;
    std::optional<AuthorControl> control;
    if (options.control) {
        input.emplace(STDIN_FILENO);
        control.emplace(
            session, *demo,
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
    // Before each frame is shown: the overlay (its panel when shown, the
    // error box whenever there is an error), then the shot asked for.
    Overlay overlay;
    OverlayState overlayState;
    FrameRateMeter frameRate;
    bool overlayShown = options.overlay;
    FrameLoop& loop = demo->loop();
    loop.setBeforeSwap([&] {
        frameRate.frameShown(static_cast<double>(steadyMs()) / 1000.0);
        if (overlayShown) {
            fillOverlayState(overlayState, loop, demo->table(), session.transport());
            overlayState.framesPerSecond = frameRate.perSecond();
            overlayState.paused = demo->music().musicPaused();
            overlayState.loop = session.transport().loop();
            overlayState.error = session.error();
            overlayState.findings = session.findings();
            overlay.draw(overlayState);
        } else {
            overlay.drawError(errorBoxText(session.error(), session.findings()));
        }
        if (control) control->frameDrawn();
    });
    loop.setKeyPress([&](int key) { authorKey(key, session, loop, overlayShown); });

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
