// The show in the page: the demo's start-up on the canvas and its frame loop,
// frame by frame. The page's main gives the music (a virtual clock for a
// frame at a given time, the browser's sound output for the live show) and
// the window messages; each requestAnimationFrame callback then draws one
// frame with frame(), or the frames up to a time with drawAt().
//
// The effect table is observed: every effect's prepare/run/post calls are
// counted, so the page can tell which registered effects drew.
#pragma once

#include "app/demo.h"
#include "app/demo_music.h"
#include "runtime/effect_table.h"
#include "runtime/startup_files.h"
#include "platform/window_messages.h"
#include "web/show/canvas_target.h"

#include <array>
#include <cstdint>
#include <optional>

class EffectDrawCounter : public EffectCallObserver {
public:
    void beforeCall(int id, const Effect&, Call call) override {
        if (call != Call::Prepare && id >= 0 && id < EffectTable::kSlots) ++draws_[id];
    }
    void afterCall(int, const Effect&, Call) override {}

    // run and post calls of the effect under id since the start.
    std::uint64_t draws(int id) const { return draws_[id]; }

private:
    std::array<std::uint64_t, EffectTable::kSlots> draws_{};
};

class WebShow {
public:
    // Starts the demo on target (ready) with the data files in the page's
    // file system: the start-up draws the loading screen and ends through
    // fatalError as the program does. The script phase follows at once.
    WebShow(CanvasTarget& target, DemoMusic& music, vantor::platform::MessageSource& messages,
            const StartupFiles& files = kDemoFiles);

    // One pass of the loop after another until a frame is drawn at the
    // music's own time. False when the show has ended (or Escape quit it).
    // A hidden page draws no frame: after a bounded number of passes (each
    // takes a message or finds the window hidden) it returns true without one.
    bool frame();
    // For a virtual clock: sets the music to `time` first.
    bool drawAt(VirtualClock& clock, int time);

    int demoStart() const { return demoStart_; }
    int endTime() { return demo_.loop().endTime(); }
    // Whether the effect under id is in the table, and how often it drew.
    bool registered(int id) const { return table_.get(id) != nullptr; }
    const EffectDrawCounter& draws() const { return draws_; }
    std::uint64_t framesDrawn() { return demo_.loop().framesDrawn(); }

private:
    EffectTable table_;
    EffectDrawCounter draws_;
    Demo demo_;
    int demoStart_ = 0;
};
