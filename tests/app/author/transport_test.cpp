// Author mode's transport: steps on beats and bars, DEMOSTART, marks, the
// loop and its wrap, at the grid's points, just before and after them, at 0
// and at the end of the show.
#include "app/author/transport.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

constexpr int kEnd = 240000;
constexpr int kBeat = 480;
constexpr int kBar = 1920;

ScriptTiming showTiming() {
    ScriptTiming timing;
    timing.bpm = 125;
    timing.beatsPerBar = 4;
    // File order is not time order.
    timing.marks = {{"drop", 61440, 3}, {"intro", 0, 2}, {"outro", 215040, 4}};
    return timing;
}

int seek(Transport& transport, TransportKey key, int now) {
    const TransportAction action = transport.press(key, now);
    EXPECT_FALSE(action.togglePause);
    return action.seekTo.value_or(-1);
}

TEST(Transport, BeatAndBarStepsLandOnTheGrid) {
    Transport transport(showTiming(), 0, kEnd);
    const int beat10 = 10 * kBeat;
    struct Case {
        int now;
        int back;
        int forward;
    };
    // From a beat: exactly one beat. From near one: as from that beat. From
    // the middle of two: the beat before or after.
    for (const Case& c :
         {Case{beat10, beat10 - kBeat, beat10 + kBeat}, Case{beat10 - 1, beat10 - kBeat, beat10 + kBeat},
          Case{beat10 + 1, beat10 - kBeat, beat10 + kBeat}, Case{beat10 + 300, beat10, beat10 + 2 * kBeat},
          Case{0, 0, kBeat}, Case{1, 0, kBeat}, Case{kEnd, kEnd - kBeat, kEnd},
          Case{kEnd - kBeat, kEnd - 2 * kBeat, kEnd - kBeat}}) {
        SCOPED_TRACE(c.now);
        EXPECT_EQ(seek(transport, TransportKey::BeatBack, c.now), c.back);
        EXPECT_EQ(seek(transport, TransportKey::BeatForward, c.now), c.forward);
    }
    // Forward never reaches the end (the demo would stop) and never goes back.
    EXPECT_EQ(seek(transport, TransportKey::BeatForward, kEnd - kBeat - 1), kEnd - kBeat);
    EXPECT_EQ(seek(transport, TransportKey::BeatForward, kEnd - 100), kEnd - 100);

    const int bar32 = 32 * kBar;
    EXPECT_EQ(seek(transport, TransportKey::BarBack, bar32), bar32 - kBar);
    EXPECT_EQ(seek(transport, TransportKey::BarForward, bar32), bar32 + kBar);
    EXPECT_EQ(seek(transport, TransportKey::BarBack, bar32 + 1), bar32 - kBar);
    EXPECT_EQ(seek(transport, TransportKey::BarForward, bar32 - 1), bar32 + kBar);
    EXPECT_EQ(seek(transport, TransportKey::BarBack, kBar - 1), 0);
    EXPECT_EQ(seek(transport, TransportKey::BarForward, kEnd - kBar - 1), kEnd - kBar);
    EXPECT_EQ(seek(transport, TransportKey::BarForward, kEnd), kEnd);

    // Twice while playing: the music moved a few ms, the steps still add up.
    int at = bar32 + 20;
    at = seek(transport, TransportKey::BeatBack, at);
    at = seek(transport, TransportKey::BeatBack, at + 15);
    EXPECT_EQ(at, bar32 - 2 * kBeat);

    // A tempo whose beat is no whole millisecond: points rounded to the ms.
    ScriptTiming odd;
    odd.bpm = 127.5;  // 470.588 ms
    Transport oddTransport(odd, 0, kEnd);
    EXPECT_EQ(seek(oddTransport, TransportKey::BeatForward, 0), 471);
    EXPECT_EQ(seek(oddTransport, TransportKey::BeatForward, 471), 941);
    EXPECT_EQ(seek(oddTransport, TransportKey::BeatBack, 941), 471);
    // Beat 510 would round to the end itself: forward stops at beat 509.
    EXPECT_EQ(seek(oddTransport, TransportKey::BeatForward, 239300), 239529);
    EXPECT_EQ(seek(oddTransport, TransportKey::BeatForward, 239529), 239529);
}

// The control channel's counted steps land where as many key presses would,
// and stay within the show however large the count.
TEST(Transport, CountedStepsAndNamedMarks) {
    Transport transport(showTiming(), 0, kEnd);
    EXPECT_EQ(transport.stepBeats(10 * kBeat + 1, 3), 13 * kBeat);
    EXPECT_EQ(transport.stepBars(10 * kBar, -2), 8 * kBar);
    EXPECT_EQ(transport.stepBars(kBar, -2147483647), 0);
    EXPECT_EQ(transport.stepBeats(5000, 2147483647), kEnd - kBeat);
    EXPECT_EQ(transport.markTime("drop"), 61440);
    EXPECT_FALSE(transport.markTime("bridge"));
}

TEST(Transport, HomeMarksAndPause) {
    Transport transport(showTiming(), 60000, kEnd);
    EXPECT_EQ(seek(transport, TransportKey::Home, 123456), 60000);
    EXPECT_TRUE(transport.press(TransportKey::PlayPause, 5).togglePause);
    EXPECT_FALSE(transport.press(TransportKey::PlayPause, 5).seekTo);

    EXPECT_EQ(seek(transport, TransportKey::NextMark, 0), 61440);
    EXPECT_EQ(seek(transport, TransportKey::NextMark, 61439), 61440);
    EXPECT_EQ(seek(transport, TransportKey::NextMark, 61440), 215040);
    EXPECT_FALSE(transport.press(TransportKey::NextMark, 215040).seekTo) << "no mark after the last";
    // A mark passed less than a beat ago is the current one: back goes further.
    EXPECT_EQ(seek(transport, TransportKey::PreviousMark, 61440 + 100), 0);
    EXPECT_EQ(seek(transport, TransportKey::PreviousMark, 61440 + kBeat + 1), 61440);
    EXPECT_EQ(seek(transport, TransportKey::PreviousMark, kEnd), 215040);
    EXPECT_FALSE(transport.press(TransportKey::PreviousMark, 100).seekTo);

    // A reload brings new marks and DEMOSTART.
    ScriptTiming none;
    transport.setScript(none, 0);
    EXPECT_FALSE(transport.press(TransportKey::NextMark, 0).seekTo);
    EXPECT_EQ(seek(transport, TransportKey::Home, 5000), 0);
    EXPECT_EQ(seek(transport, TransportKey::BeatForward, 0), 500) << "120 a minute without BPM";
}

TEST(Transport, LoopsFourBarsAndWrapsKeepingTheOverrun) {
    Transport transport(showTiming(), 0, kEnd);
    const int phrase = 4 * kBar;
    // Anywhere in bars 32-35, the loop is bars 32-35.
    for (int now : {32 * kBar, 32 * kBar + 1, 36 * kBar - 1}) {
        SCOPED_TRACE(now);
        EXPECT_FALSE(transport.press(TransportKey::Loop, now).seekTo);
        ASSERT_TRUE(transport.loop());
        EXPECT_EQ(transport.loop()->start, 32 * kBar);
        EXPECT_EQ(transport.loop()->end, 32 * kBar + phrase);
        transport.press(TransportKey::Loop, now);
        EXPECT_FALSE(transport.loop()) << "L again ends the loop";
    }
    transport.press(TransportKey::Loop, 36 * kBar);
    EXPECT_EQ(transport.loop()->start, 36 * kBar);

    transport.press(TransportKey::Loop, 32 * kBar);  // ends it
    transport.press(TransportKey::Loop, 32 * kBar);
    const int end = 36 * kBar;
    EXPECT_FALSE(transport.wrap(end - 1));
    EXPECT_EQ(transport.wrap(end), 32 * kBar);
    EXPECT_EQ(transport.wrap(end + 17), 32 * kBar + 17);
    EXPECT_EQ(transport.wrap(end + phrase + 5), 32 * kBar + 5);
    EXPECT_FALSE(transport.wrap(10)) << "before the loop the music runs into it";

    // The last phrase stops at the end of the show.
    transport.clearLoop();
    transport.press(TransportKey::Loop, kEnd - 1);
    EXPECT_EQ(transport.loop()->start, 124 * kBar);
    EXPECT_EQ(transport.loop()->end, kEnd);

    // The control channel's ranges.
    EXPECT_TRUE(transport.setLoop(1000, 2000));
    EXPECT_EQ(transport.wrap(2000), 1000);
    EXPECT_FALSE(transport.setLoop(2000, 2000));
    EXPECT_FALSE(transport.setLoop(-1, 2000));
    EXPECT_FALSE(transport.setLoop(0, kEnd + 1));
    EXPECT_EQ(transport.loop()->start, 1000) << "a refused range leaves the loop";
    // The loop survives a reload.
    transport.setScript(showTiming(), 0);
    EXPECT_TRUE(transport.loop());
}

TEST(Transport, BarAndBeatOfAPosition) {
    Transport transport(showTiming(), 0, kEnd);
    auto at = [&](int ms) {
        const BarBeat position = transport.barBeat(ms);
        return std::to_string(position.bar) + ":" + std::to_string(position.beat);
    };
    EXPECT_EQ(at(0), "0:1");
    EXPECT_EQ(at(kBeat - 1), "0:1");
    EXPECT_EQ(at(kBeat), "0:2");
    EXPECT_EQ(at(kBar - 1), "0:4");
    EXPECT_EQ(at(61440), "32:1");
    EXPECT_EQ(at(kEnd), "125:1");
}

}  // namespace
}  // namespace vantor::test
