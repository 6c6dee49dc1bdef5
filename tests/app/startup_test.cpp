// The demo's own start-up on loose files under Xvfb: a generated soundtrack, a
// small timeline script, the real window, music player and overlays, and the
// loop playing the timeline in real time.
#include "app/demo.h"
#include "app/demo_window.h"
#include "app/fatal_error.h"
#include "platform/gl_api.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace vantor::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string soundtrack() {
    return readFile(std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3");
}

// A working directory holding what the start-up reads, loose.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { dir.enter(); }
    void writeDemo(const std::string& script) {
        dir.write("soundtrack.mp3", soundtrack());
        dir.write("data/script.scr", script);
    }
    TempDir dir;
};

// The demo window, noting the centre pixel of every finished frame just
// before it is shown.
class ProbingWindow : public DemoWindow {
public:
    ProbingWindow() : DemoWindow(false, "Vantor", 640, 480) {}
    void swapBuffers() override {
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre.data());
        DemoWindow::swapBuffers();
    }
    std::array<GLubyte, 4> centre{};
};

struct Sample {
    int time;
    bool flashRunning;
    float flashLevel;
    bool fadeRunning;
    float fadeLevel;
    std::array<GLubyte, 4> centre;
};

TEST_F(StartupTest, TheLoopPlaysAFlashAndAFadeAtTheirScriptTimes) {
    writeDemo(
        "// a white flash at 0.8 s, then a fade to red from 1.5 s to 2.5 s\n"
        "DEFINE FLASH 30\n"
        "DEFINE FADE 31\n"
        "DEMOSTART 0\n"
        "SETUP\n"
        "TIMELINE\n"
        "800 SIGNAL FLASH 1 0\n"
        "1500 INIT FADE\n"
        "1500 SIGNAL FADE 115 255\n"
        "1500 SIGNAL FADE 4 2500\n"
        "1500 START FADE\n"
        "LINETIME\n");
    ProbingWindow window;
    Demo demo(window, kLooseDemoFiles);
    FrameLoop& loop = demo.loop();
    loop.scriptPhase();

    std::vector<Sample> frames;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (loop.now() < 2800 && Clock::now() < deadline) {
        const auto drawn = loop.framesDrawn();
        ASSERT_TRUE(loop.pass());
        if (loop.framesDrawn() == drawn) continue;
        const auto& effects = demo.effects();
        frames.push_back({loop.now(), effects.flash.running, effects.flash.level(), effects.fade.running,
                          effects.fade.level(), window.centre});
    }
    ASSERT_GE(loop.now(), 2800) << "the music clock did not reach 2.8 s";

    bool sawDark = false, sawFlash = false, sawHalfFade = false, sawFullFade = false;
    for (const Sample& s : frames) {
        SCOPED_TRACE(s.time);
        if (s.time < 800) {
            EXPECT_FALSE(s.flashRunning);
            EXPECT_LE(s.centre[0], 2);
            sawDark = sawDark || s.centre[0] == 0;
        }
        if (s.flashRunning && s.time >= 800 && s.flashLevel > 0.9f) {
            EXPECT_GE(s.centre[1], 220) << "the flash shows white";
            sawFlash = true;
        }
        if (s.time < 1500) {
            EXPECT_FALSE(s.fadeRunning);
        }
        if (s.time >= 1500 && !s.flashRunning) {
            EXPECT_TRUE(s.fadeRunning);
            const float level = std::min(1.0f, (s.time - 1500) / 1000.0f);
            EXPECT_NEAR(s.fadeLevel, (s.time - 1500) / 1000.0f, 1e-3);
            EXPECT_NEAR(s.centre[0], 255 * level, 3) << "red follows the fade level";
            EXPECT_LE(s.centre[1], 2);
            sawHalfFade = sawHalfFade || (level > 0.3f && level < 0.7f);
            sawFullFade = sawFullFade || s.time >= 2500;
        }
    }
    EXPECT_TRUE(sawDark);
    EXPECT_TRUE(sawFlash);
    EXPECT_TRUE(sawHalfFade);
    EXPECT_TRUE(sawFullFade);
}

TEST_F(StartupTest, DemoStartDispatchesEveryEarlierEventInTheFirstFrame) {
    writeDemo(
        "DEMOSTART 60000\n"
        "SETUP\n"
        "TIMELINE\n"
        "1000 START 29\n"
        "59000 SIGNAL 30 1 0\n"
        "120000 START 31\n"
        "LINETIME\n");
    DemoWindow window(false, "Vantor", 640, 480);
    Demo demo(window, kLooseDemoFiles);
    FrameLoop& loop = demo.loop();
    loop.scriptPhase();
    // The window's own start-up messages come first; each takes a pass.
    while (loop.now() == 0) ASSERT_TRUE(loop.pass());
    EXPECT_GE(loop.now(), 60000);
    EXPECT_LT(loop.now(), 61000);
    EXPECT_EQ(loop.nextEvent(), 2u);
    EXPECT_TRUE(demo.effects().scratch.running);
    EXPECT_TRUE(demo.effects().flash.running);
    EXPECT_FALSE(demo.effects().fade.running);
}

TEST_F(StartupTest, TheDemoEndsByItselfAt240000) {
    writeDemo("DEMOSTART 239600\nSETUP\nTIMELINE\n100 START 29\nLINETIME\n");
    DemoWindow window(false, "Vantor", 640, 480);
    Demo demo(window, kLooseDemoFiles);
    const auto started = Clock::now();
    EXPECT_EQ(demo.run(), 0);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    EXPECT_GE(demo.loop().now(), 240000);
    EXPECT_LT(demo.loop().now(), 240300);
    EXPECT_FALSE(demo.music().soundReady()) << "the sound is shut down after the loop";
}

TEST_F(StartupTest, StartUpFailuresEndWithTheirMessages) {
    DemoWindow window(false, "Vantor", 640, 480);
    ScopedFatalErrorCapture capture;
    auto failureOf = [&] {
        try {
            Demo demo(window, kLooseDemoFiles);
            demo.loop().scriptPhase();
        } catch (const FatalError& error) {
            return std::string(error.what());
        }
        return std::string("no failure");
    };

    EXPECT_EQ(failureOf(), "could not set up music");
    dir.write("soundtrack.mp3", "this is no soundtrack");
    EXPECT_EQ(failureOf(), "could not set up music");
    dir.write("soundtrack.mp3", soundtrack());
    EXPECT_EQ(failureOf(), "could not parse script");
    dir.write("data/script.scr", "SETUP\nTIMELINE\n0 START 3\nLINETIME\n");
    EXPECT_EQ(failureOf(), "script: not a valid(1-maxtime) time in timeline line # 1");

    const std::string saved = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(failureOf(), "could not init sound");
    if (saved.empty())
        unsetenv("SDL_AUDIODRIVER");
    else
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
}

}  // namespace
}  // namespace vantor::test
