// The table's two frame passes and its treatment of ids and slots.
#include "app/effect_table.h"
#include "tests/app/recording_effect.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

class EffectTableTest : public ::testing::Test {
protected:
    void SetUp() override { table.clear(); }
    void TearDown() override { table.clear(); }

    EffectTable& table = EffectTable::instance();
    CallLog log;
};

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
    EXPECT_EQ(log, (CallLog{"low prepare 1234", "high prepare 1234", "low run 1234", "low post",
                            "high run 1234", "high post"}));
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
    EXPECT_EQ(log, (CallLog{"capture prepare 7", "stopped stop", "started start", "started prepare 7",
                            "capture run 7", "capture post", "started run 7", "started post"}));
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

}  // namespace
}  // namespace vantor::test
