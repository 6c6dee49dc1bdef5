// The demo's own start-up on loose files under Xvfb: a generated soundtrack,
// the build's generated data files, a small timeline script, the real window,
// music player and effects, and the loop playing the timeline in real time.
#include "app/demo.h"
#include "app/demo_window.h"
#include "runtime/fatal_error.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace vantor::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string soundtrack() { return readFile(std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3"); }

// A working directory holding what the start-up reads, loose: the build's
// generated data (linked, except the script) and celpalette.pcx at the root.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.enter();
        namespace fs = std::filesystem;
        const fs::path demo = VANTOR_DEMO_DIR;
        fs::create_directories("data");
        for (const auto& entry : fs::directory_iterator(demo / "data"))
            if (entry.path().filename() != "script.scr")
                fs::create_directory_symlink(entry.path(), fs::path("data") / entry.path().filename());
        if (fs::exists(demo / "celpalette.pcx")) fs::create_symlink(demo / "celpalette.pcx", "celpalette.pcx");
    }
    void writeDemo(const std::string& script) {
        dir.write("soundtrack.mp3", soundtrack());
        dir.write("data/script.scr", script);
    }
    TempDir dir;
    EffectTable table;  // the start-up's own, not the program's
};

// The demo window, noting the centre pixel of every finished frame just
// before it is shown (and the whole frame when asked to), and telling
// onSwap about each.
class ProbingWindow : public DemoWindow {
public:
    ProbingWindow() : DemoWindow(false, "Vantor", 640, 480) {}
    void swapBuffers() override {
        if (onSwap) onSwap();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre.data());
        if (keepFrames) {
            std::vector<GLubyte> rgb(640 * 480 * 3);
            glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
            frames.push_back(std::move(rgb));
        }
        DemoWindow::swapBuffers();
    }
    std::array<GLubyte, 4> centre{};
    std::function<void()> onSwap;
    bool keepFrames = false;
    std::vector<std::vector<GLubyte>> frames;  // RGB, bottom row first
};

// Pixels of a 640 x 480 frame that differ from a 640 x 480 RGB image by more
// than a little in some channel.
int differingPixels(const std::vector<GLubyte>& frame, const kpximage& image) {
    int count = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const GLubyte* f = &frame[(static_cast<std::size_t>(479 - y) * 640 + x) * 3];
            const unsigned char* p = image.image + (static_cast<std::size_t>(y) * 640 + x) * 3;
            count += std::abs(f[0] - p[0]) > 6 || std::abs(f[1] - p[1]) > 6 || std::abs(f[2] - p[2]) > 6;
        }
    return count;
}

TEST_F(StartupTest, TheSixLoadingImagesAppearInOrderOnePerSwapBeforeTheScriptPhase) {
    writeDemo("DEMOSTART 0\nSETUP\nTIMELINE\n100 START 29\nLINETIME\n");
    std::vector<kpximage*> kake;
    for (int i = 1; i <= 6; ++i) {
        kake.push_back(kpx_load_jpg(("data/images/kake" + std::to_string(i) + ".jpg").c_str()));
        ASSERT_NE(kake.back(), nullptr) << i;
        ASSERT_EQ(kake.back()->bpp, 24);
        ASSERT_EQ(kake.back()->width, 640);
        ASSERT_EQ(kake.back()->height, 480);
    }
    ProbingWindow window;
    window.keepFrames = true;
    Demo demo(window, table, kLooseDemoFiles);
    ASSERT_EQ(window.frames.size(), 6u) << "one swap after group 0 and after each of groups 1 to 5";
    for (std::size_t swap = 0; swap < 6; ++swap)
        for (std::size_t image = 0; image < 6; ++image) {
            const int differing = differingPixels(window.frames[swap], *kake[image]);
            if (image == swap)
                EXPECT_LE(differing, 10) << "frame " << swap << " shows kake" << image + 1 << ".jpg whole";
            else
                EXPECT_GT(differing, 100) << "frame " << swap << " looks like kake" << image + 1 << ".jpg";
        }
    // The script phase shows nothing by itself.
    window.keepFrames = false;
    demo.loop().scriptPhase();
    EXPECT_EQ(window.frames.size(), 6u);
    for (kpximage* image : kake) kpx_free(image);
}

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
        "// a white flash at 2 s, then a fade to red from 5 s to 6 s (the flash\n"
        "// lasts 20 frames, so it is over by then even at ten frames a second;\n"
        "// the first frames come well before 2 s on a busy machine too)\n"
        "DEFINE FLASH 30\n"
        "DEFINE FADE 31\n"
        "DEMOSTART 0\n"
        "SETUP\n"
        "TIMELINE\n"
        "2000 SIGNAL FLASH 1 0\n"
        "5000 INIT FADE\n"
        "5000 SIGNAL FADE 115 255\n"
        "5000 SIGNAL FADE 4 6000\n"
        "5000 START FADE\n"
        "LINETIME\n");
    ProbingWindow window;
    Demo demo(window, table, kLooseDemoFiles);
    FrameLoop& loop = demo.loop();
    loop.scriptPhase();

    std::vector<Sample> frames;
    // The music clock runs in real time; the deadline only keeps a stalled
    // clock from hanging the test.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (loop.now() < 6300 && Clock::now() < deadline) {
        const auto drawn = loop.framesDrawn();
        ASSERT_TRUE(loop.pass());
        if (loop.framesDrawn() == drawn) continue;
        const auto& effects = demo.effects();
        frames.push_back({loop.now(), effects.flash.running, effects.flash.level(), effects.fade.running,
                          effects.fade.level(), window.centre});
    }
    ASSERT_GE(loop.now(), 6300) << "the music clock did not reach 6.3 s";

    bool sawDark = false, sawFlash = false, sawHalfFade = false, sawFullFade = false;
    for (const Sample& s : frames) {
        SCOPED_TRACE(s.time);
        if (s.time < 2000) {
            EXPECT_FALSE(s.flashRunning);
            EXPECT_LE(s.centre[0], 2);
            sawDark = sawDark || s.centre[0] == 0;
        }
        if (s.flashRunning && s.time >= 2000 && s.flashLevel > 0.9f) {
            EXPECT_GE(s.centre[1], 220) << "the flash shows white";
            sawFlash = true;
        }
        if (s.time < 5000) {
            EXPECT_FALSE(s.fadeRunning);
        }
        // On a slow machine the 20 flash frames may reach past the fade's
        // start: the fade's level follows the music clock regardless; its
        // colour is checked once the flash no longer covers it.
        if (s.time >= 5000) {
            EXPECT_TRUE(s.fadeRunning);
            const float level = std::min(1.0f, (s.time - 5000) / 1000.0f);
            EXPECT_NEAR(s.fadeLevel, (s.time - 5000) / 1000.0f, 1e-3);
            if (!s.flashRunning) {
                EXPECT_NEAR(s.centre[0], 255 * level, 3) << "red follows the fade level";
                EXPECT_LE(s.centre[1], 2);
            }
            sawHalfFade = sawHalfFade || (level > 0.1f && level < 0.9f);
            sawFullFade = sawFullFade || s.time >= 6000;
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
    Demo demo(window, table, kLooseDemoFiles);
    FrameLoop& loop = demo.loop();
    loop.scriptPhase();
    // The window's own start-up messages come first; each takes a pass.
    while (loop.now() == 0) ASSERT_TRUE(loop.pass());
    // The first frame comes soon after the seek (a busy machine may take a
    // few seconds to get there); the event at 120000 is not yet due.
    EXPECT_GE(loop.now(), 60000);
    EXPECT_LT(loop.now(), 70000);
    EXPECT_EQ(loop.nextEvent(), 2u);
    EXPECT_TRUE(demo.effects().scratch.running);
    // The flash signalled at 59000 was dispatched (nextEvent above) and, with
    // the per-frame steps replayed up to the first frame, is over by then, as
    // in a video: a flash lasts a third of a second.
    EXPECT_FALSE(demo.effects().flash.running);
    EXPECT_FALSE(demo.effects().fade.running);
}

// The demo ends by itself at the end of the show: at DEMOEND, or without it
// where the twelve-second test soundtrack ends.
TEST_F(StartupTest, TheDemoEndsByItselfAtTheEndOfTheShow) {
    struct Case {
        const char* header;
        int end;
    };
    for (const Case& c : {Case{"DEMOEND 240000\nDEMOSTART 239600\n", 240000}, Case{"DEMOSTART 11600\n", 12000}}) {
        SCOPED_TRACE(c.header);
        writeDemo(std::string(c.header) + "SETUP\nTIMELINE\n100 START 29\nLINETIME\n");
        ProbingWindow window;
        Demo demo(window, table, kLooseDemoFiles);
        std::vector<int> frameTimes;
        window.onSwap = [&] { frameTimes.push_back(demo.loop().now()); };
        EXPECT_EQ(demo.run(), 0);
        // The loop ends after the first frame at or past the end, which is
        // still drawn and shown; every frame before it was earlier.
        ASSERT_FALSE(frameTimes.empty());
        EXPECT_GE(frameTimes.back(), c.end);
        for (std::size_t i = 0; i + 1 < frameTimes.size(); ++i) EXPECT_LT(frameTimes[i], c.end) << i;
        EXPECT_EQ(demo.loop().now(), frameTimes.back());
        EXPECT_FALSE(demo.music().soundReady()) << "the sound is shut down after the loop";
        table.clear();
    }
}

TEST_F(StartupTest, StartUpFailuresEndWithTheirMessages) {
    ScopedFatalErrorCapture capture;
    // Each start in a window of its own: a fatal error releases the window.
    auto failureOf = [&] {
        try {
            DemoWindow window(false, "Vantor", 640, 480);
            Demo demo(window, table, kLooseDemoFiles);
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

    // A data file the effects need ends the start-up naming it.
    std::filesystem::remove("data/images");
    std::filesystem::create_directories("data/images");
    EXPECT_EQ(failureOf(), "could not load image kake1.jpg");
    dir.write("data/images/kake1.jpg", "no picture");
    EXPECT_EQ(failureOf(), "could not load image kake1.jpg");
}

}  // namespace
}  // namespace vantor::test
