#include "app/author/author_run.h"

#include "app/author/author_control.h"
#include "app/author/author_keys.h"
#include "app/author/author_music.h"
#include "app/author/author_session.h"
#include "app/author/folder_files.h"
#include "app/author/frame_rate.h"
#include "app/author/overlay.h"
#include "app/author/overlay_source.h"
#include "app/author/overlay_text.h"
#include "app/author/line_reader.h"
#include "app/demo.h"
#include "app/demo_window.h"
#include "app/music_player.h"
#include "runtime/fatal_error.h"
#include "runtime/startup_files.h"
#include "libs/log/progress_log.h"
#include "platform/folder_watcher.h"
#include "platform/virtual_keys.h"

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

// What author mode draws over each frame before it is shown: the overlay's
// panel when it is shown, the error box whenever there is an error.
class AuthorLayer {
public:
    explicit AuthorLayer(bool shown) : shown_(shown) {}
    void toggle() { shown_ = !shown_; }
    void show(bool shown) { shown_ = shown; }
    double framesPerSecond() const { return frameRate_.perSecond(); }

    void draw(const FrameLoop& loop, Demo& demo, const AuthorSession& session) {
        frameRate_.frameShown(static_cast<double>(steadyMs()) / 1000.0);
        if (!shown_) {
            overlay_.drawError(errorBoxText(session.error(), session.findings()));
            return;
        }
        fillOverlayState(state_, loop, demo.table(), session.transport());
        state_.framesPerSecond = frameRate_.perSecond();
        state_.paused = demo.music().musicPaused();
        state_.loop = session.transport().loop();
        state_.error = session.error();
        state_.findings = session.findings();
        overlay_.draw(state_);
    }

private:
    Overlay overlay_;
    OverlayState state_;
    FrameRateMeter frameRate_;
    bool shown_;
};

// An author key pressed in the window.
void authorKey(int key, AuthorSession& session, const FrameLoop& loop, AuthorLayer& layer) {
    namespace vk = vantor::platform::vk;
    const AuthorKeyPress press = authorKeyPress(key, loop.keyDown(vk::Shift), loop.keyDown(vk::Control));
    if (press.kind == AuthorKey::Transport) session.press(press.transport);
    if (press.kind == AuthorKey::ToggleOverlay) layer.toggle();
}

// With --control, standard output carries the answers alone: the libraries'
// progress lines go to standard error instead, and each answer is written
// whole, straight to the descriptor.
void writeAnswer(const std::string& line) {
    const std::string text = line + "\n";
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t put = ::write(STDOUT_FILENO, text.data() + at, text.size() - at);
        if (put <= 0) break;
        at += static_cast<std::size_t>(put);
    }
}

// The checker's findings, once per read of the script, as vantor-script
// check prints them.
void reportFindings(const std::vector<std::string>& findings) {
    if (findings.empty()) return;
    std::fflush(stdout);
    for (const std::string& finding : findings) std::fprintf(stderr, "%s\n", finding.c_str());
    std::fflush(stderr);
}

// Hands the control channel the lines waiting on standard input, as long as it
// takes them; false once a quit was asked for.
bool serveControl(AuthorControl& control, LineReader& input) {
    while (!control.busy() && !control.quitRequested())
        if (auto line = input.take())
            control.handle(*line);
        else
            break;
    return !control.quitRequested();
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

    // The progress lines (hundreds a start) would bury the FILE:LINE messages.
    vantor::log::setProgressQuiet(!options.verbose);
    if (options.control) vantor::log::setProgressStream(vantor::log::ProgressStream::StandardError);

    // A window beside the author's editor; Control+F1 still goes full screen.
    DemoWindow window(DemoWindow::ScreenMode::Window, "Vantor", 640, 480);
    // From here on the demo's fatal ends throw, and the session catches them.
    // They do not release the sound or the window: the session plays on.
    ScopedRecoveredFatalErrors fatalErrors;
    // Author mode's effect table: declared before the demo that fills it, so
    // it outlives every effect the session builds into it.
    EffectTable table;
    // Without a sound device the show plays on a silent clock.
    MusicPlayer player;
    AuthorMusic music(player, steadyMs, [](const std::string& text) {
        std::fflush(stdout);
        std::fprintf(stderr, "vantor: %s\n", text.c_str());
        std::fflush(stderr);
    });
    vantor::platform::SdlMessageQueue messages;
    std::optional<Demo> demo;
    try {
        demo.emplace(window, table, files, music, messages, Demo::BuildErrors::Keep);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor: %s\n", e.what());
        return 1;
    }
    // Only a quit ends author mode: the music never reads past the show's end.
    music.setShowEnd([&] { return demo->loop().endTime(); });
    AuthorSession session(*demo, {options.folder, files.script, folderFiles.shippedSoundtrack(), files.imagePath},
                          std::move(watcher), steadyMs, reportOnStderr);
    session.setFindingsReport(reportFindings);
    std::optional<LineReader> input;
    std::optional<AuthorControl> control;
    if (options.control) {
        input.emplace(STDIN_FILENO);
        control.emplace(session, *demo, writeAnswer, writeCurrentFrame);
    }
    AuthorLayer layer(options.overlay);
    if (control) {
        control->setOverlaySwitch([&](bool shown) { layer.show(shown); });
        control->setFrameRate([&] { return layer.framesPerSecond(); });
    }
    FrameLoop& loop = demo->loop();
    loop.setBeforeSwap([&] {
        layer.draw(loop, *demo, session);
        if (control) control->frameDrawn();
    });
    loop.setKeyPress([&](int key) { authorKey(key, session, loop, layer); });

    session.start();
    for (;;) {
        if (control && !serveControl(*control, *input)) break;
        const std::uint64_t failed = session.failedPasses();
        if (!session.pass()) break;
        if (control && session.failedPasses() != failed) control->frameFailed(session.error());
    }
    demo->shutdown();
    return 0;
}
