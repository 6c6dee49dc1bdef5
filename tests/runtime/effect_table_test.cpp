// The table's two frame passes and its treatment of ids and slots.
#include "runtime/effect_table.h"
#include "tests/app/recording_effect.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

class EffectTableTest : public ::testing::Test {
protected:
    EffectTable table;
    CallLog log;
};

// A new table has every slot empty until a start-up fills it.
TEST_F(EffectTableTest, NewTableStartsEmpty) {
    for (int id = 0; id < EffectTable::kSlots; ++id) EXPECT_EQ(table.get(id), nullptr) << id;
}

TEST_F(EffectTableTest, IdsOutsideTheTableFindNothingAndChangeNothing) {
    RecordingEffect a("a", log), intruder("x", log);
    table.set(0, &a);
    table.set(31, &a);
    for (int id : {-1, 32, 1000, -1000}) {
        table.set(id, &intruder);
        EXPECT_EQ(table.get(id), nullptr) << id;
    }
    EXPECT_EQ(table.get(0), &a);
    EXPECT_EQ(table.get(31), &a);
    for (int id = 1; id < 31; ++id) EXPECT_EQ(table.get(id), nullptr) << id;

    // The intruder never takes part in any pass.
    intruder.running = true;
    table.initAll();
    table.stopAll();
    table.runAll(5);
    for (const auto& line : log) EXPECT_EQ(line.rfind("x ", 0), std::string::npos) << line;
}

TEST_F(EffectTableTest, LaterSetReplacesAndNullEmptiesTheSlot) {
    RecordingEffect a("a", log), b("b", log);
    table.set(4, &a);
    table.set(4, &b);
    EXPECT_EQ(table.get(4), &b);
    table.set(4, nullptr);
    EXPECT_EQ(table.get(4), nullptr);
}

TEST_F(EffectTableTest, AllPreparesComeBeforeAnyRunAndLowerIdsDrawFirst) {
    RecordingEffect low("low", log), high("high", log), idle("idle", log);
    table.set(20, &high);
    table.set(3, &low);
    table.set(10, &idle);
    low.running = high.running = true;

    table.runAll(1234);
    EXPECT_EQ(log, (CallLog{"low prepare 1234", "high prepare 1234", "low run 1234", "low post", "high run 1234",
                            "high post"}));
}

TEST_F(EffectTableTest, EffectStoppedOrStartedDuringPrepareFollowsItsNewState) {
    RecordingEffect capture("capture", log), stoppedLater("stopped", log), startedLater("started", log);
    table.set(1, &capture);
    table.set(5, &stoppedLater);
    table.set(6, &startedLater);
    capture.running = stoppedLater.running = true;
    capture.onPrepare = [&] {
        stoppedLater.stop();
        startedLater.start();
    };

    table.runAll(7);
    // Both change state before their own turn in pass 1: the stopped one gets
    // neither prepare nor run, the started one gets both.
    EXPECT_EQ(log, (CallLog{"capture prepare 7", "stopped stop", "started start", "started prepare 7", "capture run 7",
                            "capture post", "started run 7", "started post"}));
}

TEST_F(EffectTableTest, PostFollowsRunEvenWhenRunStopsTheEffect) {
    RecordingEffect once("once", log), next("next", log);
    table.set(2, &once);
    table.set(3, &next);
    once.running = true;
    // Running is read before run: a run that stops its own effect still gets post,
    // and a run that starts a later effect lets that one run in the same pass.
    once.onRun = [&] {
        once.running = false;
        next.running = true;
    };
    table.runAll(0);
    EXPECT_EQ(log, (CallLog{"once prepare 0", "once run 0", "once post", "next run 0", "next post"}));
}

TEST_F(EffectTableTest, OneEffectUnderTwoIdsIsVisitedForEachId) {
    RecordingEffect shared("shared", log);
    table.set(8, &shared);
    table.set(9, &shared);
    shared.running = true;

    table.runAll(100);
    EXPECT_EQ(log, (CallLog{"shared prepare 100", "shared prepare 100", "shared run 100", "shared post",
                            "shared run 100", "shared post"}));
    log.clear();
    table.initAll();
    table.stopAll();
    EXPECT_EQ(log, (CallLog{"shared init 0", "shared init 0", "shared stop", "shared stop"}));
}

TEST_F(EffectTableTest, InitAllAndStopAllReachEffectsWhetherRunningOrNot) {
    RecordingEffect running("on", log), idle("off", log);
    table.set(30, &running);
    table.set(0, &idle);
    running.running = true;

    table.initAll();
    table.stopAll();
    EXPECT_EQ(log, (CallLog{"off init 0", "on init 0", "off stop", "on stop"}));
    EXPECT_FALSE(running.running);

    log.clear();
    table.runAll(1);
    EXPECT_TRUE(log.empty());
}

// Notes every call the observer is told of into the same log.
class LoggingObserver : public EffectCallObserver {
public:
    explicit LoggingObserver(CallLog& log) : log_(log) {}
    void beforeCall(int id, const Effect&, Call call) override { log_.push_back("> " + name(id, call)); }
    void afterCall(int id, const Effect&, Call call) override { log_.push_back("< " + name(id, call)); }

private:
    static std::string name(int id, Call call) {
        return std::to_string(id) + (call == Call::Prepare ? " prepare" : call == Call::Run ? " run" : " post");
    }
    CallLog& log_;
};

TEST_F(EffectTableTest, AnObserverSeesEveryCallWithoutChangingTheirOrder) {
    // Effects that change each other's state inside their calls, played once
    // without and once with an observer.
    auto play = [&](EffectCallObserver* observer) {
        RecordingEffect a("a", log), b("b", log), c("c", log);
        table.set(1, &a);
        table.set(4, &b);
        table.set(9, &c);
        a.running = b.running = true;
        a.onPrepare = [&] { c.start(); };
        b.onRun = [&] { b.running = false; };
        table.setObserver(observer);
        table.runAll(42);
        table.setObserver(nullptr);
        table.clear();
    };
    play(nullptr);
    const CallLog plain = log;
    log.clear();
    LoggingObserver observer(log);
    play(&observer);

    CallLog calls;
    for (const auto& line : log)
        if (line[0] != '>' && line[0] != '<') calls.push_back(line);
    EXPECT_EQ(calls, plain);
    EXPECT_EQ(log, (CallLog{"> 1 prepare", "a prepare 42", "c start",      "< 1 prepare", "> 4 prepare", "b prepare 42",
                            "< 4 prepare", "> 9 prepare",  "c prepare 42", "< 9 prepare", "> 1 run",     "a run 42",
                            "< 1 run",     "> 1 post",     "a post",       "< 1 post",    "> 4 run",     "b run 42",
                            "< 4 run",     "> 4 post",     "b post",       "< 4 post",    "> 9 run",     "c run 42",
                            "< 9 run",     "> 9 post",     "c post",       "< 9 post"}));
}

}  // namespace
}  // namespace vantor::test
