// The main loop driven pass by pass with a virtual clock, scripted messages
// and recording effects.
#include "app/frame_loop.h"
#include "platform/virtual_keys.h"
#include "tests/app/loop_fakes.h"
#include "tests/app/recording_effect.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

namespace vk = platform::vk;

ScriptEvent event(int time, int kind, int id, SignalValue value = {}) {
    ScriptEvent e;
    e.time = time;
    e.kind = kind;
    e.effectId = id;
    e.value = std::move(value);
    return e;
}
ScriptEvent start(int time, int id) { return event(time, ScriptEvent::Start, id); }
ScriptEvent signal(int time, int id, int code, int value) {
    return event(time, ScriptEvent::Signal, id, SignalValue(code, value));
}
ScriptEvent setupSignal(int id, int code, const char* text) {
    return event(0, ScriptEvent::Signal, id, SignalValue(code, std::string(text)));
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.set(3, &a);
        table.set(7, &b);
    }

    // Runs the script phase and forgets what it logged.
    void begin() {
        loop.scriptPhase();
        log.clear();
    }
    // The log of one pass.
    CallLog pass() {
        log.clear();
        loop.pass();
        return log;
    }
    static CallLog frameOf(int time, const CallLog& dispatched, const CallLog& drawn) {
        CallLog expected{"clear", "time " + std::to_string(time)};
        expected.insert(expected.end(), dispatched.begin(), dispatched.end());
        expected.insert(expected.end(), drawn.begin(), drawn.end());
        expected.push_back("swap");
        return expected;
    }

    CallLog log;
    EffectTable table;
    LoggingClock clock{log};
    FakeMessages messages;
    FakeTarget target{log};
    std::vector<ScriptEvent> setup;
    std::vector<ScriptEvent> timeline;
    int demoStart = 0;
    int loads = 0;
    FrameLoop loop{table, clock, messages, target, [this] {
                       ++loads;
                       log.push_back("load");
                       return std::make_unique<Script>(setup, timeline, demoStart);
                   }};
    RecordingEffect a{"a", log};
    RecordingEffect b{"b", log};
};

TEST_F(FrameLoopTest, ScriptPhaseSignalsInFileOrderThenInitsAllThenSeeksAndPlays) {
    setup = {setupSignal(7, 110, "kake2.jpg"), setupSignal(12, 1, "empty slot"), setupSignal(3, 1, "x"),
             setupSignal(-1, 1, "below"), setupSignal(32, 1, "above")};
    demoStart = 60000;
    loop.scriptPhase();
    EXPECT_EQ(
        log, (CallLog{"load", "b signal 110:kake2.jpg", "a signal 1:x", "a init 0", "b init 0", "seek 60000", "play"}));
    EXPECT_EQ(loop.nextEvent(), 0u);
}

TEST_F(FrameLoopTest, DemoStartDispatchesEveryEarlierEventInTheFirstFrame) {
    timeline = {start(1000, 3), signal(30000, 7, 20, 0), event(59999, ScriptEvent::Init, 7), start(60000, 7),
                start(60001, 3)};
    demoStart = 60000;
    begin();
    // init gets the event's own time, not the frame's.
    EXPECT_EQ(pass(),
              frameOf(60000, {"a start", "b signal 20:0", "b init 59999", "b start"},
                      {"a prepare 60000", "b prepare 60000", "a run 60000", "a post", "b run 60000", "b post"}));
    EXPECT_EQ(loop.nextEvent(), 4u);
}

TEST_F(FrameLoopTest, EventsForMissingEffectsAndUnknownKindsAreConsumedWithoutEffect) {
    timeline = {start(100, -1),   start(100, 32),   start(100, 1000), start(100, 12),
                event(100, 9, 3), event(100, 0, 7), start(100, 3)};
    begin();
    clock.set(100);
    EXPECT_EQ(pass(), frameOf(100, {"a start"}, {"a prepare 100", "a run 100", "a post"}));
    EXPECT_EQ(loop.nextEvent(), timeline.size());
}

TEST_F(FrameLoopTest, AnOutOfOrderEventHoldsBackTheEventsAfterIt) {
    timeline = {start(500, 3), signal(2000, 7, 1, 1), start(1000, 7)};
    begin();
    clock.set(1500);
    EXPECT_EQ(pass(), frameOf(1500, {"a start"}, {"a prepare 1500", "a run 1500", "a post"}));
    EXPECT_EQ(loop.nextEvent(), 1u);
    clock.set(2000);
    EXPECT_EQ(pass(), frameOf(2000, {"b signal 1:1", "b start"},
                              {"a prepare 2000", "b prepare 2000", "a run 2000", "a post", "b run 2000", "b post"}));
}

TEST_F(FrameLoopTest, MinimisedWindowDrawsNothingAndCatchesUpInListOrderOnRestore) {
    timeline = {start(100, 3), signal(200, 3, 5, 1), start(300, 7), start(900, 7)};
    begin();
    clock.set(50);
    EXPECT_EQ(pass(), frameOf(50, {}, {}));

    messages.activate(true);
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_FALSE(loop.windowActive());
    clock.set(400);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pass(), CallLog{}) << "no frame, no clock read, no dispatch";
    EXPECT_EQ(loop.nextEvent(), 0u);

    messages.activate(false);
    EXPECT_EQ(pass(), CallLog{}) << "the restore message itself takes a pass";
    EXPECT_EQ(pass(), frameOf(400, {"a start", "a signal 5:1", "b start"},
                              {"a prepare 400", "b prepare 400", "a run 400", "a post", "b run 400", "b post"}));
    EXPECT_EQ(loop.nextEvent(), 3u);
}

TEST_F(FrameLoopTest, EveryPendingMessageCostsAPassWithoutAFrame) {
    begin();
    messages.push(WindowMessage::Kind::Other);
    messages.push(WindowMessage::Kind::Other);
    messages.key('A', true);
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_TRUE(loop.keyDown('A'));
    EXPECT_EQ(pass(), frameOf(0, {}, {}));
}

TEST_F(FrameLoopTest, TheFrameThatReachesTheEndIsCompletedAndTheNextPassLeaves) {
    timeline = {start(100, 3), start(240000, 7)};
    begin();
    clock.set(239999);
    pass();
    EXPECT_FALSE(loop.quit());

    clock.set(240000);
    EXPECT_EQ(pass(),
              frameOf(240000, {"b start"},
                      {"a prepare 240000", "b prepare 240000", "a run 240000", "a post", "b run 240000", "b post"}));
    EXPECT_TRUE(loop.quit());
    log.clear();
    EXPECT_FALSE(loop.pass());
    EXPECT_EQ(log, CallLog{});
    loop.run();  // returns at once
}

// The show's end: the script's DEMOEND, else the end of a soundtrack shorter
// than four minutes; a DEMOEND past a short soundtrack plays on in silence.
TEST_F(FrameLoopTest, TheShowEndsAtDemoEndOrAtTheEndOfAShortSoundtrack) {
    struct Case {
        const char* script;
        std::int64_t soundtrackMs;
        int end;
    };
    for (const Case& c : {Case{"DEMOEND 30000 SETUP TIMELINE 100 START 3 LINETIME", 0, 30000},
                          Case{"DEMOEND 20000 + 500 SETUP TIMELINE 100 START 3 LINETIME", 241946, 20500},
                          Case{"DEMOEND 30000 SETUP TIMELINE 100 START 3 LINETIME", 12000, 30000},
                          Case{"SETUP TIMELINE 100 START 3 LINETIME", 12000, 12000},
                          Case{"SETUP TIMELINE 100 START 3 LINETIME", 241946, FrameLoop::kEndTime}}) {
        SCOPED_TRACE(c.script);
        VirtualClock music;
        music.setLength(c.soundtrackMs);
        FrameLoop show{table, music, messages, target, [&] { return Script::fromText(c.script); }};
        show.scriptPhase();
        EXPECT_EQ(show.endTime(), c.end);
        music.set(c.end - 1);
        show.pass();
        EXPECT_FALSE(show.quit());
        music.set(c.end);
        show.pass();
        EXPECT_TRUE(show.quit()) << "the frame at the end is the last";
        EXPECT_FALSE(show.pass());
    }
}

TEST_F(FrameLoopTest, RunEndsOnceTheClockPassesTheEnd) {
    begin();
    clock.set(239000);
    int passes = 0;
    // Each pass moves the clock on by 300 ms; the loop draws the 240200 frame and stops.
    a.running = true;
    a.onRun = [&] { clock.advance(300); };
    while (loop.pass()) ++passes;
    EXPECT_EQ(passes, 5);
    EXPECT_EQ(loop.now(), 240200);
}

TEST_F(FrameLoopTest, EscapeQuitsOnlyWhileTheWindowIsActive) {
    begin();
    messages.activate(true);
    messages.key(vk::Escape, true);
    pass();
    pass();
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_FALSE(loop.quit()) << "minimised: keys are not looked at";

    messages.activate(false);
    pass();
    EXPECT_EQ(pass(), CallLog{}) << "Escape ends the loop without drawing";
    EXPECT_TRUE(loop.quit());
    EXPECT_FALSE(loop.pass());
}

TEST_F(FrameLoopTest, ClosingTheWindowEndsTheLoopThroughTheQuitMessage) {
    begin();
    messages.push(WindowMessage::Kind::Close);
    pass();
    EXPECT_FALSE(loop.quit());
    ASSERT_EQ(messages.queue.size(), 1u);
    EXPECT_EQ(messages.queue.front().kind, WindowMessage::Kind::Quit);
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_TRUE(loop.quit());
    EXPECT_FALSE(loop.pass());
}

TEST_F(FrameLoopTest, ControlShiftReloadsInEveryPassWhileHeldWithoutRebuildingEffects) {
    setup = {setupSignal(7, 110, "kake2.jpg")};
    timeline = {start(100, 3)};
    demoStart = 50;
    begin();
    clock.set(150);
    EXPECT_EQ(pass(), frameOf(150, {"a start"}, {"a prepare 150", "a run 150", "a post"}));
    EXPECT_EQ(loop.nextEvent(), 1u);

    messages.key(vk::Control, true);
    messages.key(vk::Shift, true);
    pass();
    pass();
    const CallLog reload{"a stop",   "b stop",   "load",    "b signal 110:kake2.jpg",
                         "a init 0", "b init 0", "seek 50", "play"};
    EXPECT_EQ(pass(), reload);
    EXPECT_EQ(loop.nextEvent(), 0u);
    EXPECT_EQ(pass(), reload) << "no edge detection: held keys repeat";
    EXPECT_EQ(loads, 3);
    EXPECT_NE(loop.script(), nullptr);

    messages.key(vk::Shift, false);
    pass();
    clock.set(120);
    EXPECT_EQ(pass(), frameOf(120, {"a start"}, {"a prepare 120", "a run 120", "a post"}))
        << "the timeline restarts from its first event";
}

TEST_F(FrameLoopTest, ControlF1TogglesInEveryPassThatReachesTheCheck) {
    begin();
    messages.key(vk::Control, true);
    EXPECT_EQ(pass(), CallLog{});
    messages.key(vk::F1, true);
    EXPECT_EQ(pass(), CallLog{"toggle"}) << "also in a pass that took a message";
    EXPECT_EQ(pass(), [] {
        CallLog expected = frameOf(0, {}, {});
        expected.push_back("toggle");
        return expected;
    }());
    messages.activate(true);
    EXPECT_EQ(pass(), CallLog{"toggle"});
    EXPECT_EQ(pass(), CallLog{"toggle"}) << "also while minimised";
    messages.key(vk::F1, false);
    EXPECT_EQ(pass(), CallLog{});
    EXPECT_EQ(pass(), CallLog{});
}

TEST_F(FrameLoopTest, WindowProcedureResizesTracksKeysAndIgnoresKeysWithoutACode) {
    begin();
    WindowMessage size;
    size.kind = WindowMessage::Kind::Size;
    size.width = 800;
    size.height = 0;
    messages.queue.push_back(size);
    EXPECT_EQ(pass(), CallLog{"resize 800x0"});

    for (int key : {0, -5, 256, 1000}) messages.key(key, true);
    messages.key(vk::F1 + 11, true);
    messages.key(vk::F1 + 11, false);
    messages.key('Z', true);
    while (!messages.queue.empty()) loop.pass();
    EXPECT_FALSE(loop.keyDown(0));
    EXPECT_FALSE(loop.keyDown(256));
    EXPECT_FALSE(loop.keyDown(vk::F1 + 11));
    EXPECT_TRUE(loop.keyDown('Z'));
}

}  // namespace
}  // namespace vantor::test
