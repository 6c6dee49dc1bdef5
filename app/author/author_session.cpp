#include "app/author/author_session.h"

#include "app/author/error_location.h"
#include "app/demo.h"
#include "runtime/script.h"
#include "app/script_check.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <malloc.h>
#include <optional>

AuthorSession::AuthorSession(Demo& demo, Files files, std::unique_ptr<vantor::platform::FolderWatcher> watcher,
                             WallClock clock, Report report)
    : demo_(demo),
      files_(std::move(files)),
      watcher_(std::move(watcher)),
      clock_(std::move(clock)),
      report_(std::move(report)),
      transport_(ScriptTiming{}, 0, FrameLoop::kEndTime) {}

void AuthorSession::report(const std::string& message) {
    // One line on the screen and on stderr: readers may end theirs with a line break.
    std::string text = locatedError(message, files_.imagePath, editedFile);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text == error_) return;
    error_ = text;
    if (report_) report_(text);
}

std::string AuthorSession::editedFile(const std::string& dataPath) {
    // The file the author edits when the folder has it, else the archive's member.
    const std::string inFolder = ppd_folder_file(dataPath.c_str());
    return inFolder.empty() ? dataPath : inFolder;
}

std::string AuthorSession::scriptFileName() const { return editedFile(files_.script); }

void AuthorSession::checkRead(const ScriptReadResult& read) {
    findings_.clear();
    if (read.script) {
        const std::string file = scriptFileName();
        FileLayerScriptData data(soundtrackPath());
        for (const CheckDiagnostic& d : checkScript(read, data)) findings_.push_back(d.located(file));
    }
    if (findingsReport_) findingsReport_(findings_);
}

void AuthorSession::holdAtEnd() {
    DemoMusic& music = demo_.music();
    // The end of the show as the script and the soundtrack have it now.
    const int end = demo_.loop().endTime();
    transport_.setEndTime(end);
    if (music.musicTime() < end - 1) return;
    // The frame loop ends the show on a frame at the end time: the music stops
    // just before it, forward of every frame drawn so far.
    music.pauseMusic();
    music.seekMusic(end - 1);
    heldAtEnd_ = true;
}

void AuthorSession::start() {
    DemoMusic& music = demo_.music();
    // Control+Shift: everything read again, from DEMOSTART.
    demo_.loop().setReloadAction([this] { reload({true, true, false}, true); });
    if (!demo_.effectsBuilt()) report(demo_.effectsError());
    ScriptReadResult read = Script::read(files_.script.c_str());
    checkRead(read);
    int start = 0;
    if (read.script) {
        start = read.script->demoStart();
        transport_.setScript(read.script->timing(), start);
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

std::string AuthorSession::soundtrackPath() const {
    // The folder's own soundtrack when it has one, else the shipped one.
    std::error_code ec;
    const std::filesystem::path own = std::filesystem::path(files_.folder) / "soundtrack.mp3";
    return std::filesystem::is_regular_file(own, ec) ? own.string() : files_.soundtrack;
}

void AuthorSession::reopenSoundtrack() {
    DemoMusic& music = demo_.music();
    const int at = music.musicTime();
    const bool paused = music.musicPaused();
    const std::string path = soundtrackPath();
    if (!music.openMusic(path.c_str())) {
        // The music that played plays on, where it was.
        report(path + ": could not set up music");
        soundtrackError_ = true;
        return;
    }
    music.seekMusic(at);
    if (paused)
        music.pauseMusic();
    else
        music.playMusic();
    if (soundtrackError_) {
        soundtrackError_ = false;
        report("");
    }
}

namespace {

bool sameEvent(const ScriptEvent& a, const ScriptEvent& b) {
    return a.time == b.time && a.kind == b.kind && a.effectId == b.effectId && a.value.code == b.value.code &&
           a.value.isString == b.value.isString && a.value.intValue == b.value.intValue && a.value.text == b.value.text;
}

bool sameEvents(const std::vector<ScriptEvent>& a, const std::vector<ScriptEvent>& b, std::size_t count) {
    if (a.size() < count || b.size() < count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (!sameEvent(a[i], b[i])) return false;
    return true;
}

// True when the effects, having played `current` up to its dispatch cursor,
// stand where `next` would have brought them: the same setup events and the
// same timeline events up to that cursor.
bool samePast(const Script& current, const Script& next, std::size_t dispatched) {
    return current.setupEvents().size() == next.setupEvents().size() &&
           sameEvents(current.setupEvents(), next.setupEvents(), current.setupEvents().size()) &&
           sameEvents(current.timelineEvents(), next.timelineEvents(), dispatched);
}

}  // namespace

bool AuthorSession::rebuildAndRestart(std::unique_ptr<Script> script, std::optional<int> seekTo) {
    // A rebuild holds the old and the new effects at once (about 100 MB of
    // pictures and buffers at its peak); once one of them is gone, the freed
    // pages go back to the system, so that an afternoon of saves does not
    // leave the process as large as its largest rebuild.
    struct ReturnFreedMemory {
        ~ReturnFreedMemory() { malloc_trim(0); }
    } returnFreedMemory;
    FrameLoop& loop = demo_.loop();
    // What the old effects have played, for when the new ones do not start.
    std::unique_ptr<Script> played = loop.script() ? std::make_unique<Script>(*loop.script()) : nullptr;
    const std::size_t playedUpTo = loop.nextEvent();
    kpx_error_clear();
    try {
        demo_.rebuildEffects([&] {
            // The music moves once the effects are there, so that it stands at
            // the time the timeline restarts for.
            if (seekTo) demo_.music().seekMusic(*seekTo);
            // As the reload key does: every effect stops before the script phase.
            demo_.table().stopAll();
            loop.startScript(std::move(script));
        });
        return true;
    } catch (const std::exception& e) {
        // The old effects are back in the table as they were: so is their script.
        loop.resumeScript(std::move(played), playedUpTo);
        // A picture that does not load says why in the image readers' list.
        std::string text = e.what();
        if (kpx_error_count() > 0) text += " (" + std::string(kpx_error_last()) + ")";
        report(text);
        return false;
    }
}

void AuthorSession::replayIntoPlayingEffects() {
    FrameLoop& loop = demo_.loop();
    const Script& current = *loop.script();
    // The effects had their setup signals when they were built: a second time
    // would add a picture appended by one again. So the timeline alone restarts.
    auto timeline = std::make_unique<Script>(std::vector<ScriptEvent>{}, current.timelineEvents(), current.demoStart());
    auto whole = std::make_unique<Script>(current);
    try {
        demo_.table().stopAll();
        loop.startScript(std::move(timeline));
        loop.adoptScript(std::move(whole));
    } catch (const std::exception& e) {
        loop.adoptScript(std::move(whole));
        report(e.what());
    }
}

bool AuthorSession::reload(DataChanges changes, bool fromDemoStart) {
    if (changes.soundtrack) reopenSoundtrack();
    if (!changes.script && !changes.effects) return error_.empty();

    ScriptReadResult read = Script::read(files_.script.c_str());
    checkRead(read);
    if (!read.script) {
        report(read.error->located(scriptFileName()));
        return false;
    }
    FrameLoop& loop = demo_.loop();
    // A script changed only after the events dispatched so far (a comment,
    // an event still to come): the effects are where it would have brought
    // them, so it takes over where the old one stands.
    if (!changes.effects && !fromDemoStart && error_.empty() && loop.script() &&
        samePast(*loop.script(), *read.script, loop.nextEvent())) {
        transport_.setScript(read.script->timing(), read.script->demoStart());
        loop.adoptScript(std::move(read.script));
        ++reloads_;
        return true;
    }
    // Otherwise fresh effects: setup signals and the events before the
    // music's position then reach effects that have not seen them yet.
    const ScriptTiming timing = read.script->timing();
    const int demoStart = read.script->demoStart();
    std::optional<int> seekTo;
    if (fromDemoStart) seekTo = demoStart;
    if (!rebuildAndRestart(std::move(read.script), seekTo)) return false;
    transport_.setScript(timing, demoStart);
    ++reloads_;
    report("");
    return true;
}

void AuthorSession::seek(int ms) {
    DemoMusic& music = demo_.music();
    FrameLoop& loop = demo_.loop();
    ms = std::clamp(ms, 0, std::max(loop.endTime() - 1, 0));
    heldAtEnd_ = false;
    // Forward, the events up to ms are still to come: the next frame
    // dispatches them. Backward, effects that saw later events start afresh.
    if (ms >= loop.now() || !loop.script()) {
        music.seekMusic(ms);
        return;
    }
    if (rebuildAndRestart(std::make_unique<Script>(*loop.script()), ms)) return;
    // The folder does not build now: the effects that play start over
    // instead, as the demo's reload key restarts them, and the error stays
    // shown until a save that builds.
    music.seekMusic(ms);
    replayIntoPlayingEffects();
}

bool AuthorSession::setLoop(int fromMs, int toMs) {
    transport_.setEndTime(demo_.loop().endTime());
    if (!transport_.setLoop(fromMs, toMs)) return false;
    const bool held = heldAtEnd_;
    const int now = demo_.music().musicTime();
    if (now < fromMs || now >= toMs) seek(fromMs);
    // A loop asked for while the show holds at its end plays.
    if (held) play(true);
    return true;
}

void AuthorSession::press(TransportKey key) {
    DemoMusic& music = demo_.music();
    const TransportAction action = transport_.press(key, music.musicTime());
    if (action.seekTo) seek(*action.seekTo);
    if (action.togglePause) play(music.musicPaused());
}

void AuthorSession::play(bool playing) {
    heldAtEnd_ = false;
    if (playing)
        demo_.music().playMusic();
    else
        demo_.music().pauseMusic();
}

bool AuthorSession::pass() {
    try {
        if (watcher_) {
            const std::int64_t now = clock_();
            settler_.add(watcher_->takeChanges(), now);
            const DataChanges changes = dataChangesOf(settler_.settled(now));
            if (changes.any()) reload(changes);
        }
        // Author mode's clock stops at the show's last millisecond: there, a
        // loop that runs to the end is at its end.
        const int end = demo_.loop().endTime();
        int now = demo_.music().musicTime();
        if (now >= end - 1) now = std::max(now, end);
        if (const std::optional<int> back = transport_.wrap(now)) seek(*back);
        holdAtEnd();
        return demo_.loop().pass();
    } catch (const std::exception& e) {
        // An effect gave up in the middle of a frame: the show goes on.
        ++failedPasses_;
        report(e.what());
        return !demo_.loop().quit();
    }
}

void AuthorSession::run() {
    while (pass()) {}
}
