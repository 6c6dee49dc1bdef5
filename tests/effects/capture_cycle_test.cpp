// Effects that draw other effects, chosen by a script so that they would draw
// each other: the signal closing the loop is refused with a line naming both
// ids, and the frame is drawn (a loop would recurse until the stack overflows).
#include "runtime/effect_table.h"
#include "effects/mosaic_glow_effect.h"
#include "effects/swirl_effect.h"
#include "effects/wipe_effect.h"
#include "effects/zoom_blur_effect.h"
#include "tests/effects/capture_fixture.h"
#include "tests/effects/script_signals.h"

#include <string>

namespace vantor::test {
namespace {

class CaptureCycleTest : public CaptureTest {
protected:
    template <class E>
    void add(int id, E& effect) {
        effect.useEffectTable(table);
        table.set(id, &effect);
    }

    // Plays the script's signals and returns what they printed on stderr.
    std::string play(const char* timeline) {
        ::testing::internal::CaptureStderr();
        playScriptEvents(std::string("SETUP\nTIMELINE\n") + timeline + "LINETIME\n", table);
        return ::testing::internal::GetCapturedStderr();
    }

    void drawFrames() {
        for (int time : {1000, 1016}) table.runAll(time);
        glFinish();
    }
};

TEST_F(CaptureCycleTest, TwoCapturesThatWouldDrawEachOther) {
    MosaicGlowEffect mosaic(nullptr);
    SwirlEffect swirl(nullptr);
    add(10, mosaic);
    add(13, swirl);
    const std::string said = play(
        "100 SIGNAL 10 70 13\n"
        "100 SIGNAL 13 70 10\n"
        "100 START 10\n"
        "100 START 13\n");
    EXPECT_EQ(mosaic.source, &swirl);
    EXPECT_EQ(swirl.source, nullptr) << "the closing signal leaves the source as it was";
    EXPECT_EQ(said, "effect 13 cannot draw effect 10, which draws effect 13 already: signal ignored\n");
    drawFrames();

    // Pointed elsewhere, the mosaic no longer draws the swirl: now the swirl may draw it.
    EXPECT_EQ(play("200 SIGNAL 10 70 3\n"
                   "200 SIGNAL 13 70 10\n"),
              "");
    EXPECT_EQ(swirl.source, &mosaic);
    drawFrames();
    EXPECT_GT(source.runs, 0);
}

TEST_F(CaptureCycleTest, ThreeCapturesInARing) {
    MosaicGlowEffect mosaic(nullptr);
    ZoomBlurEffect zoom(nullptr);
    SwirlEffect swirl(nullptr);
    add(10, mosaic);
    add(9, zoom);
    add(13, swirl);
    const std::string said = play(
        "100 SIGNAL 10 70 9\n"
        "100 SIGNAL 9 70 13\n"
        "100 SIGNAL 13 70 3\n"
        "100 SIGNAL 13 70 10\n"
        "100 START 10\n");
    EXPECT_EQ(swirl.source, &source) << "kept its earlier source";
    EXPECT_NE(said.find("effect 13 cannot draw effect 10"), std::string::npos) << said;
    drawFrames();
    EXPECT_GT(source.runs, 0);
}

TEST_F(CaptureCycleTest, AWipeAndACaptureOfTheWipe) {
    WipeEffect wipe(nullptr, "no-map.pcx");
    MosaicGlowEffect mosaic(nullptr);
    add(12, wipe);
    add(10, mosaic);
    // The wipe's target would capture the wipe...
    EXPECT_NE(play("100 SIGNAL 12 71 10\n"
                   "100 SIGNAL 10 70 12\n"
                   "100 START 12\n")
                  .find("effect 10 cannot draw effect 12"),
              std::string::npos);
    EXPECT_EQ(mosaic.source, nullptr);
    drawFrames();

    // ... and, the other way round, the wipe would take the capture of itself
    // as its target or its source.
    EXPECT_EQ(play("200 SIGNAL 12 71 3\n"
                   "200 SIGNAL 10 70 12\n"),
              "");
    EXPECT_EQ(mosaic.source, &wipe);
    const std::string said = play(
        "300 SIGNAL 12 71 10\n"
        "300 SIGNAL 12 70 10\n"
        "300 START 10\n");
    EXPECT_EQ(said,
              "effect 12 cannot draw effect 10, which draws effect 12 already: signal ignored\n"
              "effect 12 cannot draw effect 10, which draws effect 12 already: signal ignored\n");
    EXPECT_EQ(wipe.target(), &source);
    EXPECT_EQ(wipe.source, nullptr);
    drawFrames();
}

}  // namespace
}  // namespace vantor::test
