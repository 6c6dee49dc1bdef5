// The author overlay: its lines and wrapping, and its drawing over bright and
// dark frames, offscreen, leaving the GL state as the effects' contract has it.
#include "app/author/frame_rate.h"
#include "app/author/overlay.h"
#include "app/author/overlay_font.h"
#include "app/author/overlay_source.h"
#include "app/author/overlay_text.h"
#include "runtime/script.h"
#include "platform/gl_api.h"
#include "tests/effects/matrix_balance_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

std::string text(const OverlayLine& line) {
    std::string out;
    for (const OverlaySpan& span : line.spans) out += span.text;
    return out;
}

OverlayState busyState() {
    OverlayState state;
    state.musicTime = 61440;
    state.position = {32, 1};
    state.framesPerSecond = 59.94;
    state.lastEvent = "61440 START 15";
    state.lastEventLine = 312;
    for (int id : {2, 15, 30}) state.running.push_back({id, "SceneEffect"});
    return state;
}

TEST(OverlayText, PanelLinesShowWhatTheStateHolds) {
    OverlayState state = busyState();
    auto lines = overlayPanelLines(state, 10);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(text(lines[0]), "  61440 ms  32:1  59.9 fps");
    EXPECT_EQ(text(lines[1]), "event  line 312  61440 START 15");
    EXPECT_EQ(text(lines[2]), "running");
    EXPECT_EQ(text(lines[3]), "   2  SceneEffect");

    state.paused = true;
    state.loop = LoopRange{61440, 69120};
    state.lastEvent.clear();
    state.running.assign(20, {7, "StarfieldEffect"});
    lines = overlayPanelLines(state, 10);
    EXPECT_EQ(text(lines[0]).substr(text(lines[0]).size() - 6), "PAUSED");
    EXPECT_EQ(text(lines[1]), "loop   61440 - 69120 ms");
    EXPECT_EQ(text(lines[2]), "event  none yet");
    ASSERT_EQ(lines.size(), 4u + 10u) << "nine effects and a count of the rest";
    EXPECT_EQ(text(lines.back()), "  and 11 more");
}

TEST(OverlayText, ErrorsWrapAtSpacesKeepTheirLinesAndAreCut) {
    EXPECT_EQ(wrapOverlayText("data/script.scr:12: script: event not recognized", 20, 8),
              (std::vector<std::string>{"data/script.scr:12: ", "script: event not ", "recognized"}));
    EXPECT_EQ(wrapOverlayText("first\nsecond", 20, 8), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(wrapOverlayText(std::string(30, 'x'), 10, 8).size(), 3u) << "a word longer than a line is split";
    const auto cut = wrapOverlayText(std::string(100, 'y'), 10, 2);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1], "yyyyyyy...");
    EXPECT_EQ(wrapOverlayText("caf\xc3\xa9\t!", 20, 8), std::vector<std::string>{"caf??"
                                                                                 "?!"});
}

// Warnings stand out from errors in the box, every wrapped line of them; the
// lines are those of wrapOverlayText, cut the same way.
TEST(OverlayText, ErrorBoxLinesInkWarningsApart) {
    const std::string box = errorBoxText(
        "data/arm.ppp: could not load texture grid.jpg",
        {"data/script.scr:1: warning: BPM fast is not a tempo", "data/script.scr:12: error: no effect with id 3"});
    const std::vector<OverlayLine> lines = errorBoxLines(box, 24, 8);
    const std::vector<std::string> wrapped = wrapOverlayText(box, 24, 8);
    ASSERT_EQ(lines.size(), wrapped.size());
    std::vector<OverlayInk> inks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].spans.size(), 1u);
        EXPECT_EQ(text(lines[i]), wrapped[i]) << i;
        inks.push_back(lines[i].spans[0].ink);
    }
    using I = OverlayInk;
    EXPECT_EQ(inks,
              (std::vector<I>{I::Error, I::Error, I::Warning, I::Warning, I::Warning, I::Error, I::Error, I::Error}))
        << ::testing::PrintToString(wrapped);

    for (int maxLines : {1, 3, 5}) {
        const std::vector<OverlayLine> cut = errorBoxLines(box, 24, maxLines);
        const std::vector<std::string> expected = wrapOverlayText(box, 24, maxLines);
        ASSERT_EQ(cut.size(), expected.size()) << maxLines;
        for (std::size_t i = 0; i < cut.size(); ++i) EXPECT_EQ(text(cut[i]), expected[i]) << maxLines << " " << i;
    }
}

struct PlainEffect : Effect {
    void init(int) override {}
    void run(int) override {}
    void post() override {}
    void signal(SignalValue) override {}
};
template <class T>
struct Wrapped : T {};

TEST(OverlayText, EventsAndClassNamesAsAuthorsWriteThem) {
    EXPECT_EQ(effectClassName(PlainEffect()), "PlainEffect");
    EXPECT_EQ(effectClassName(Wrapped<PlainEffect>()), "PlainEffect") << "the effect inside its registration";

    ScriptEvent signal;
    signal.time = 4000;
    signal.kind = ScriptEvent::Signal;
    signal.effectId = 22;
    signal.value = SignalValue(90, 2);
    EXPECT_EQ(describeEvent(signal), "4000 SIGNAL 22 90 2");
    signal.value = SignalValue(110, std::string("kake2.jpg"));
    EXPECT_EQ(describeEvent(signal), "4000 SIGNAL 22 110 kake2.jpg");
    ScriptEvent end;
    end.time = 9000;
    end.kind = ScriptEvent::End;
    end.effectId = 3;
    EXPECT_EQ(describeEvent(end), "9000 END 3");
}

TEST(FrameRateMeter, CountsTheFramesOfTheLastSecond) {
    FrameRateMeter meter;
    EXPECT_EQ(meter.perSecond(), 0.0);
    for (int i = 0; i <= 120; ++i) meter.frameShown(i / 60.0);
    EXPECT_NEAR(meter.perSecond(), 60.0, 0.01);
    // The rate drops to 10 a second: after a second only the slow frames count.
    for (int i = 1; i <= 15; ++i) meter.frameShown(2.0 + i / 10.0);
    EXPECT_NEAR(meter.perSecond(), 10.0, 0.01);
    // A long stall: the last two frames still give a rate.
    meter.frameShown(10.0);
    EXPECT_NEAR(meter.perSecond(), 1.0 / 6.5, 0.01);
}

class OverlayDrawing : public MatrixBalanceTest {
protected:
    void fill(float level) {
        glClearColor(level, level, level, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static int brightness(int x, int y) {
        const auto p = pixel(x, y);
        return (p[0] + p[1] + p[2]) / 3;
    }
    // Pixels of the rectangle brighter than `level`.
    static int brighterThan(int level, int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) count += brightness(x, y) > level;
        return count;
    }
    Overlay overlay;
};

TEST_F(OverlayDrawing, APanelReadableOnBrightAndDarkFrames) {
    const OverlayState state = busyState();
    const int lineHeight = kOverlayFont.cellHeight + 2;

    fill(1.0f);
    overlay.draw(state);
    EXPECT_LT(brightness(12, 10), 80) << "the panel darkens a white frame";
    EXPECT_GT(brighterThan(160, 20, 10, 300, 10 + 3 * lineHeight), 100) << "and its letters stand out";
    EXPECT_EQ(brightness(600, 240), 255) << "the frame outside the panel is untouched";
    EXPECT_EQ(brightness(320, 470), 255) << "no error box without an error";

    fill(0.0f);
    overlay.draw(state);
    EXPECT_GT(brighterThan(160, 20, 10, 300, 10 + 3 * lineHeight), 100) << "letters on a black frame";
    EXPECT_EQ(brightness(600, 240), 0);
}

TEST_F(OverlayDrawing, AnErrorShowsAloneInABoxAtTheBottom) {
    fill(1.0f);
    overlay.drawError("data/script.scr:12: script: event not recognized in timeline line # 3");
    EXPECT_EQ(brightness(20, 20), 255) << "no panel";
    // The box: a dark field with a hot-accent edge and light letters.
    const auto field = pixel(320, 470);
    EXPECT_LT(field[1], 80);
    int edge = 0;
    for (int y = 380; y < 475; ++y) {
        const auto p = pixel(9, y);
        edge += p[0] > 200 && p[1] < 120 && p[2] > 120;
    }
    EXPECT_GT(edge, 10) << "hot-accent edge";
    EXPECT_GT(brighterThan(160, 16, 420, 600, 478), 100) << "the message";
    overlay.drawError("");  // nothing

    // A warning under the error: its letters in the warm accent, the error's not.
    fill(0.0f);
    overlay.drawError(
        "data/arm.ppp: could not load texture grid.jpg\n"
        "data/script.scr:1: warning: BPM fast is not a tempo");
    const int lineHeight = kOverlayFont.cellHeight + 2;
    auto warm = [&](int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 16; x < 600; ++x) {
                const auto p = pixel(x, y);
                count += p[0] > 150 && p[1] > 90 && p[1] < p[0] - 30 && p[2] < p[1] - 40;
            }
        return count;
    };
    EXPECT_GT(warm(480 - 8 - 7 - lineHeight, 480 - 8), 20) << "the warning line";
    EXPECT_EQ(warm(480 - 8 - 7 - 2 * lineHeight, 480 - 8 - 7 - lineHeight), 0) << "the error line";
}

TEST_F(OverlayDrawing, LeavesTheGlStateAsItFoundIt) {
    // The state the effects' contract gives every call, plus an odd pixel
    // store setting and a bound texture of someone else's.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);

    OverlayState state = busyState();
    state.error = "an error";
    overlay.draw(state);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), texture);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[2], 0.75f);
    glDisable(GL_CULL_FACE);
    glDeleteTextures(1, &texture);
}

}  // namespace
}  // namespace vantor::test
