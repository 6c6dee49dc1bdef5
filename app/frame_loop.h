// The demo's main loop: the window procedure, the keyboard state, the script
// phase, event dispatch and the frame passes.
//
// Each pass takes at most one window message; a pass that took one draws no
// frame. Without a message and with the window not minimised, a pass handles
// Escape (quit) and Control+Shift (reload), or draws a frame: clear, read the
// music time once, dispatch every timeline event that has fallen due (in list
// order, stopping at the first one still in the future; before each the
// effects' per-frame steps are brought to the millisecond before it), run the
// effect table, swap. Every pass ends with the Control+F1 check. The frame
// whose music time reaches endTime() is still drawn completely; the next pass
// leaves the loop.
//
// The clock, the message source, the drawing target, the effect table and the
// way a script is read all come from outside, so a test can drive the loop
// pass by pass.
#pragma once

#include "runtime/effect_table.h"
#include "app/frame_target.h"
#include "app/music_clock.h"
#include "runtime/demo_end.h"
#include "runtime/script.h"
#include "platform/window_messages.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class FrameLoop {
public:
    // Music time at which the demo ends at the latest.
    static constexpr int kEndTime = kDemoEndTime;

    // Reads the timeline script anew (on start-up and on every reload). It ends
    // the program through fatalError when the script cannot be read.
    using ScriptLoader = std::function<std::unique_ptr<Script>()>;

    FrameLoop(EffectTable& table, MusicClock& clock, vantor::platform::MessageSource& messages, FrameTarget& target,
              ScriptLoader loadScript);

    // Reads the script, delivers its setup signals, gives every effect init(0),
    // moves the music to DEMOSTART and plays it. Dispatch restarts at the
    // first timeline event.
    void scriptPhase();

    // The script phase for a script already read, with the music left where
    // it is: setup signals, init(0) on every effect, dispatch from the first
    // timeline event again. The next frame then dispatches every event up to
    // the music's position in one pass, in file order, as after DEMOSTART,
    // with every effect's per-frame steps from DEMOSTART to each event taken
    // on the way: the first frame shows what a run from DEMOSTART shows.
    void startScript(std::unique_ptr<Script> script);

    // Replaces the script while keeping the dispatch where it is: for a
    // script whose setup and whose timeline up to nextEvent() are those of the
    // current one, so the effects have seen exactly its past already.
    void adoptScript(std::unique_ptr<Script> script) { script_ = std::move(script); }
    // Puts back a script the effects have played up to `nextEvent` (after a
    // startScript that failed on effects that are gone again).
    void resumeScript(std::unique_ptr<Script> script, std::size_t nextEvent) {
        script_ = std::move(script);
        nextEvent_ = script_ ? std::min(nextEvent, script_->timelineEvents().size()) : 0;
    }

    // What Control+Shift does instead of the reload (empty: the reload).
    void setReloadAction(std::function<void()> action) { reloadAction_ = std::move(action); }
    // Called in every frame after the effects ran and before the swap, e.g.
    // to read the finished frame back.
    void setBeforeSwap(std::function<void()> hook) { beforeSwap_ = std::move(hook); }
    // Told of every key pressed (its virtual-key code), after the key state
    // is noted: author mode's keys act once per press, not while held.
    void setKeyPress(std::function<void(int key)> handler) { keyPress_ = std::move(handler); }

    // One pass of the loop. Returns false, doing nothing, once quit is set.
    bool pass();
    // Passes until the loop is left.
    void run();

    // The window procedure: size, activate, close, key down, key up.
    void windowProcedure(const vantor::platform::WindowMessage& message);

    bool quit() const { return quit_; }
    bool windowActive() const { return windowActive_; }
    int now() const { return now_; }
    std::size_t nextEvent() const { return nextEvent_; }
    // Frames drawn since the loop was made.
    std::uint64_t framesDrawn() const { return framesDrawn_; }
    bool keyDown(int virtualKey) const;
    const Script* script() const { return script_.get(); }
    // Where the show ends: the script's DEMOEND, else kEndTime or the end of a
    // shorter soundtrack (as the clock knows its length).
    int endTime() const;

private:
    void frame();
    void dispatchDueEvents();
    void advanceEffects(int time);
    void reload();

    EffectTable& table_;
    MusicClock& clock_;
    vantor::platform::MessageSource& messages_;
    FrameTarget& target_;
    ScriptLoader loadScript_;
    std::function<void()> reloadAction_;
    std::function<void()> beforeSwap_;
    std::function<void(int key)> keyPress_;

    std::unique_ptr<Script> script_;
    std::size_t nextEvent_ = 0;
    // The music time the effects' per-frame steps were last brought to by
    // the dispatch; none since the script phase.
    std::optional<int> advancedTo_;
    bool quit_ = false;
    int now_ = 0;
    std::uint64_t framesDrawn_ = 0;

    // Window state: 1 while a key is held, indexed by virtual-key code; and
    // whether the window is not minimised (frames are drawn only then).
    std::array<std::uint8_t, 256> keyDown_{};
    bool windowActive_ = true;
};
