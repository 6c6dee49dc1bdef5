// Author mode: the demo plays a data folder while an author edits it.
//
// Every pass of the frame loop first looks at the folder's changes. Once the
// saves have settled, the show is reloaded where the music is: the script is
// read again, every effect is built anew (a fresh image cache, no loading
// screen), and the script phase runs with the music left playing, so the next
// frame dispatches every timeline event up to the current time in one pass,
// in file order. Building afresh is what keeps setup signals and earlier
// events from piling up across reloads (a picture appended by a signal is
// appended once, not once per reload).
//
// Errors never end the session: a script that does not read, a picture or
// scene that does not load, or an effect refusing its data keeps the last
// good state playing; the message is the session's error() until the next
// good reload, and goes to the report callback as "FILE[:LINE]: message":
// the script's errors by line, the others with the file the demo's text names
// (a scene, a picture) put first. The demo's fatal ends must throw for this (a throwing sink).
//
// Every time the script is read (at start and on each save), the script
// checker judges it against the start-up's effects and the data as the demo
// reads it; its findings, the reader's own warnings among them, stand until
// the next save. A checker error (a SOURCE cycle, an id never registered) is
// shown but does not refuse the script: the runtime already refuses what
// would break it, and the author may be in the middle of an edit.
//
// At the end of the show the demo ends; an author who lets it play on would
// lose the session, so here the music holds there paused instead: the last
// picture stays, and Home, a seek or a save goes on.
#pragma once

#include "app/author/change_settler.h"
#include "app/author/data_change.h"
#include "app/author/transport.h"
#include "platform/folder_watcher.h"
#include "runtime/startup_files.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Demo;
struct ScriptReadResult;

class AuthorSession {
public:
    // Milliseconds of a steady clock, for letting saves settle.
    using WallClock = std::function<std::int64_t()>;
    // Gets every new error text, and an empty text when the error is gone.
    using Report = std::function<void(const std::string& text)>;
    // Gets the checker's findings each time the script is read (none: empty).
    using FindingsReport = std::function<void(const std::vector<std::string>& findings)>;

    struct Files {
        std::string folder;                            // the data folder (for naming files in messages)
        std::string script;                            // the script's name in the data layer
        std::string soundtrack;                        // the soundtrack when the folder has none
        std::string imagePath = kDemoFiles.imagePath;  // where image names are looked up
    };

    // watcher may be null (nothing is watched; reload() still works).
    AuthorSession(Demo& demo, Files files, std::unique_ptr<vantor::platform::FolderWatcher> watcher, WallClock clock,
                  Report report);

    // Where the findings go; set before start().
    void setFindingsReport(FindingsReport report) { findingsReport_ = std::move(report); }

    // Reads the script and plays it from DEMOSTART; an error is kept and
    // reported, and the show waits for a good save.
    void start();

    // One pass: the folder's settled changes, the loop range, then one pass of
    // the frame loop with its errors caught. False once the loop has ended.
    bool pass();
    void run();

    // Reloads now, as a settled save of these changes would. True when the
    // new state plays; false when the last good one stays (see error()).
    // With fromDemoStart the music moves to the new script's DEMOSTART (the
    // reload key); otherwise it plays on where it is.
    bool reload(DataChanges changes = {true, true, false}, bool fromDemoStart = false);

    // Moves the music to ms. Forward, the next frame dispatches the events in
    // between; backward, the effects are built anew and the timeline restarts
    // from its first event, so the show at ms looks as if played up to it.
    void seek(int ms);
    // Plays [fromMs, toMs) over and over. False (and no change) unless
    // 0 <= fromMs < toMs <= the end of the show.
    // The music goes to fromMs at once when it stands outside the range.
    bool setLoop(int fromMs, int toMs);
    void clearLoop() { transport_.clearLoop(); }

    // A transport key: moves the music on the script's grid (the timeline
    // follows as for seek), pauses or plays, or starts or ends the loop.
    void press(TransportKey key);
    const Transport& transport() const { return transport_; }
    // Plays (true) or pauses the music.
    void play(bool playing);

    // The current error ("" when the show is in a good state).
    const std::string& error() const { return error_; }
    // The checker's findings for the script last read, each as
    // "FILE:LINE: warning: message" (or error), in line order.
    const std::vector<std::string>& findings() const { return findings_; }
    // Reloads that built a new state since start.
    int reloads() const { return reloads_; }
    // Passes that ended in an error (no frame was finished in them).
    std::uint64_t failedPasses() const { return failedPasses_; }

private:
    void report(const std::string& text);
    void checkRead(const ScriptReadResult& read);
    void holdAtEnd();
    bool restartTimeline(std::unique_ptr<class Script> script);
    void reopenSoundtrack();
    // Fresh effects playing `script` from its start (the music moved to
    // seekTo first, when given); false with the error reported when they
    // cannot be built or do not take the script: the old effects then play on
    // with their own script, untouched.
    bool rebuildAndRestart(std::unique_ptr<class Script> script, std::optional<int> seekTo);
    // The effects in the table restart and replay the current script's
    // timeline up to the music's position (when fresh ones cannot be built).
    void replayIntoPlayingEffects();
    std::string soundtrackPath() const;
    std::string scriptFileName() const;
    // The file the author edits for a data path: the folder's, else the member.
    static std::string editedFile(const std::string& dataPath);

    Demo& demo_;
    Files files_;
    std::unique_ptr<vantor::platform::FolderWatcher> watcher_;
    WallClock clock_;
    Report report_;
    FindingsReport findingsReport_;
    std::vector<std::string> findings_;
    ChangeSettler settler_;
    std::string error_;
    bool soundtrackError_ = false;
    bool heldAtEnd_ = false;  // the music was paused by the end-of-show hold  // error_ is about the soundtrack
    int reloads_ = 0;
    std::uint64_t failedPasses_ = 0;
    Transport transport_;
};
