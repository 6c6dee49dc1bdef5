#include "app/author/author_session.h"

#include "app/demo.h"
#include "app/script.h"
#include "libs/ppd/ppd.h"

#include <exception>

AuthorSession::AuthorSession(Demo& demo, Files files, std::unique_ptr<vantor::platform::FolderWatcher> watcher,
                             WallClock clock, Report report)
    : demo_(demo),
      files_(std::move(files)),
      watcher_(std::move(watcher)),
      clock_(std::move(clock)),
      report_(std::move(report)) {}

void AuthorSession::report(const std::string& text) {
    if (text == error_) return;
    error_ = text;
    if (report_) report_(text);
}

std::string AuthorSession::scriptFileName() const {
    // The file the author edits when the folder has it, else the archive's member.
    const std::string inFolder = ppd_folder_file(files_.script.c_str());
    return inFolder.empty() ? files_.script : inFolder;
}

void AuthorSession::start() {
    DemoMusic& music = demo_.music();
    // Control+Shift: everything read again, from DEMOSTART.
    demo_.loop().setReloadAction([this] { reload({true, true, false}, true); });
    if (!demo_.effectsBuilt()) report(demo_.effectsError());
    ScriptReadResult read = Script::read(files_.script.c_str());
    int start = 0;
    if (read.script) {
        start = read.script->demoStart();
        restartTimeline(std::move(read.script));
    } else {
        report(read.error->located(scriptFileName()));
    }
    music.seekMusic(start);
    music.playMusic();
}

bool AuthorSession::restartTimeline(std::unique_ptr<Script> script) {
    try {
        // As the reload key does: every effect stops before the script phase.
        demo_.table().stopAll();
        demo_.loop().startScript(std::move(script));
        return true;
    } catch (const std::exception& e) {
        report(e.what());
        return false;
    }
}

void AuthorSession::reopenSoundtrack() {
    DemoMusic& music = demo_.music();
    const int at = music.musicTime();
    if (!music.openMusic(files_.soundtrack.c_str())) {
        report(files_.soundtrack + ": could not set up music");
        return;
    }
    music.seekMusic(at);
    if (!music.musicPaused()) music.playMusic();
}

bool AuthorSession::reload(DataChanges changes, bool fromDemoStart) {
    if (changes.soundtrack) reopenSoundtrack();
    if (!changes.script && !changes.effects) return error_.empty();

    ScriptReadResult read = Script::read(files_.script.c_str());
    if (!read.script) {
        report(read.error->located(scriptFileName()));
        return false;
    }
    // Fresh effects for every reload: setup signals and the events before the
    // music's position then reach effects that have not seen them yet.
    try {
        demo_.rebuildEffects();
    } catch (const std::exception& e) {
        report(e.what());
        return false;
    }
    if (fromDemoStart) demo_.music().seekMusic(read.script->demoStart());
    if (!restartTimeline(std::move(read.script))) return false;
    ++reloads_;
    report("");
    return true;
}

void AuthorSession::seek(int ms) {
    DemoMusic& music = demo_.music();
    FrameLoop& loop = demo_.loop();
    const bool backward = ms < loop.now() || loop.framesDrawn() == 0;
    music.seekMusic(ms);
    if (!backward || !loop.script()) return;
    auto script = std::make_unique<Script>(*loop.script());
    try {
        demo_.rebuildEffects();
    } catch (const std::exception& e) {
        report(e.what());
        return;
    }
    restartTimeline(std::move(script));
}

void AuthorSession::setLoop(int fromMs, int toMs) {
    loopFrom_ = fromMs;
    loopTo_ = toMs;
}

bool AuthorSession::pass() {
    if (watcher_) {
        const std::int64_t now = clock_();
        settler_.add(watcher_->takeChanges(), now);
        const DataChanges changes = dataChangesOf(settler_.settled(now));
        if (changes.any()) reload(changes);
    }
    if (looping()) {
        const int now = demo_.music().musicTime();
        if (now >= loopTo_ || now < loopFrom_) seek(loopFrom_);
    }
    try {
        return demo_.loop().pass();
    } catch (const std::exception& e) {
        // An effect gave up in the middle of a frame: the show goes on.
        report(e.what());
        return !demo_.loop().quit();
    }
}

void AuthorSession::run() {
    while (pass()) {
    }
}
