// vantor --data DIR --control end to end on a private X server: the program
// next to the build's archive and soundtrack, a data folder holding only a
// script, driven through its control channel while the test edits the
// script; and vantor-capture --data on the same folder.
#include "tests/app/author/author_child.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

// The picture (id 0, full screen) from 100 ms on; the second script shows
// the star background (id 7) instead.
std::string scriptShowing(int id) {
    return "DEMOSTART 0\nSETUP\nTIMELINE\n100 INIT " + std::to_string(id) + "\n100 START " + std::to_string(id) +
           "\nLINETIME\n";
}

bool isWholeFrame(const std::string& png) { return readPng(png).size() == 640u * 480u * 3u; }

void expectQuitWithZero(AuthorChild& vantor) {
    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
}

// Share of bytes that differ by more than a little.
double difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.empty() || a.size() != b.size()) return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += std::abs(int(a[i]) - int(b[i])) > 8;
    return double(differing) / double(a.size());
}

TEST(AuthorProgram, ASavedScriptShowsAtTheSameMusicTimeAndARevertBringsTheOldPictureBack) {
    TempDir dir;
    dir.write("show/data/script.scr", scriptShowing(0));
    const std::string script = dir.file("show/data/script.scr");
    AuthorChild vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});

    EXPECT_EQ(vantor.ask("pause"), "ok");
    EXPECT_EQ(vantor.ask("seek 2000"), "ok");
    EXPECT_EQ(vantor.ask("time"), "2000");
    EXPECT_EQ(vantor.ask("bogus 12"),
              "error: unknown command \"bogus\" (seek, pause, play, loop, reload, time, shot, step, mark, overlay, "
              "status, quit)");
    EXPECT_EQ(vantor.ask("loop 5 2"), "error: loop end must lie after its start");
    ASSERT_EQ(vantor.ask("shot " + dir.file("before.png")), "ok");
    const auto before = readPng(dir.file("before.png"));
    ASSERT_EQ(before.size(), 640u * 480u * 3u);

    // Saved by rename, as editors do: the new picture shows at the same time.
    dir.write("show/data/script.tmp", scriptShowing(7));
    fs::rename(dir.file("show/data/script.tmp"), script);
    double changed = 0;
    for (int i = 0; i < 100 && changed < 0.2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_EQ(vantor.ask("shot " + dir.file("after.png")), "ok");
        changed = difference(before, readPng(dir.file("after.png")));
    }
    EXPECT_GE(changed, 0.2);
    EXPECT_EQ(vantor.ask("time"), "2000");

    // Written in place this time, back to the first script: the old picture.
    dir.write("show/data/script.scr", scriptShowing(0));
    double left = 1;
    for (int i = 0; i < 100 && left > 0.01; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_EQ(vantor.ask("shot " + dir.file("again.png")), "ok");
        left = difference(before, readPng(dir.file("again.png")));
    }
    EXPECT_LE(left, 0.01);
    EXPECT_EQ(vantor.ask("time"), "2000");

    expectQuitWithZero(vantor);
}

// vantor on a folder holding the shipped module scene, the show's own script
// playing from the archive; the tests save the scene cut to half its length
// (a scene saved half-written).
class AuthorProgramScene : public ::testing::Test {
protected:
    AuthorProgramScene() {
        saveScene(false);
        vantor.emplace(dir.path().string(), std::vector<std::string>{VANTOR_PATH, "--data", "show", "--control"});
    }
    void saveScene(bool half) {
        const std::string member = "data/modul2.ppp";
        const std::string whole = readFile((fs::path(VANTOR_DEMO_DIR) / member).string());
        dir.write("show/" + member, half ? whole.substr(0, whole.size() / 2) : whole);
    }
    std::string ask(const std::string& command) { return vantor->ask(command); }
    // A shot of the frame shown, written whole.
    void expectWholeShot(const std::string& name) {
        ASSERT_EQ(ask("shot " + dir.file(name)), "ok");
        EXPECT_TRUE(isWholeFrame(dir.file(name)));
    }

    TempDir dir;
    std::optional<AuthorChild> vantor;
};

// Saved broken while the music plays past it, then a seek back: the rebuild
// the seek needs fails on the scene, and the show goes on with the effects it
// had (the window, its GL context and the sound stay up).
TEST_F(AuthorProgramScene, ASeekBackAfterAHalfWrittenSceneKeepsTheShowPlaying) {
    EXPECT_EQ(ask("seek 100000"), "ok");
    EXPECT_EQ(ask("play"), "ok");
    saveScene(true);
    // The save settles and fails to load; then the seek back.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(ask("pause"), "ok");
    EXPECT_EQ(ask("seek 50000"), "ok");
    EXPECT_EQ(ask("time"), "50000");
    expectWholeShot("after.png");
    expectQuitWithZero(*vantor);
}

// With reload, loop and seek: the sound is still there to play on, and shots
// still find the frame while paused.
TEST_F(AuthorProgramScene, ABrokenSceneWithReloadLoopAndSeekKeepsSoundAndFrames) {
    EXPECT_EQ(ask("pause"), "ok");
    saveScene(true);
    // Author mode's report leads with the file to edit.
    const std::string failed = ask("reload");
    EXPECT_EQ(failed.rfind("error: show/data/modul2.ppp: ", 0), 0u) << failed;
    expectWholeShot("paused.png");
    EXPECT_EQ(ask("play"), "ok");
    EXPECT_EQ(ask("loop 1000 1500"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // wraps at least once
    EXPECT_EQ(ask("seek 500"), "ok");
    EXPECT_EQ(ask("reload").rfind("error: ", 0), 0u);
    EXPECT_EQ(ask("loop off"), "ok");
    EXPECT_EQ(ask("play"), "ok");
    EXPECT_EQ(ask("pause"), "ok");
    expectWholeShot("again.png");
    expectQuitWithZero(*vantor);
}

// The commands that do what the keys do, and a loop asked for while the show
// holds at its end.
TEST(AuthorProgram, TheControlChannelStepsJumpsToMarksAndTellsItsStatus) {
    TempDir dir;
    dir.write("show/data/script.scr",
              "DEMOSTART 0\nDEMOEND 20000\nBPM 120\nMARK drop 6000\nMARK late 9000\n"
              "SETUP\nTIMELINE\n100 INIT 7\n100 START 7\nLINETIME\n");
    AuthorChild vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
    EXPECT_EQ(vantor.ask("pause"), "ok");
    EXPECT_EQ(vantor.ask("seek 4000"), "ok");
    EXPECT_EQ(vantor.ask("step bar 1"), "ok");  // 120 a minute: a bar is 2 s
    EXPECT_EQ(vantor.ask("time"), "6000");
    EXPECT_EQ(vantor.ask("step beat -3"), "ok");
    EXPECT_EQ(vantor.ask("time"), "4500");
    EXPECT_EQ(vantor.ask("mark next"), "ok");
    EXPECT_EQ(vantor.ask("time"), "6000");
    EXPECT_EQ(vantor.ask("mark late"), "ok");
    EXPECT_EQ(vantor.ask("time"), "9000");
    // Times in the script's names: the grid of its BPM, its marks.
    EXPECT_EQ(vantor.ask("seek BAR2 + BEAT1"), "ok");
    EXPECT_EQ(vantor.ask("time"), "4500");
    EXPECT_EQ(vantor.ask("seek drop+BEAT1"), "ok");
    EXPECT_EQ(vantor.ask("time"), "6500");
    EXPECT_EQ(vantor.ask("seek BAR2 + BI"), "error: `BI` is not a number of ms, a MARK or a name of the script");
    EXPECT_EQ(vantor.ask("time"), "6500");
    EXPECT_EQ(vantor.ask("seek late"), "ok");
    EXPECT_EQ(vantor.ask("time"), "9000");
    EXPECT_EQ(vantor.ask("mark prev"), "ok");
    EXPECT_EQ(vantor.ask("time"), "6000");
    EXPECT_EQ(vantor.ask("mark bridge"), "error: the script has no mark bridge");
    EXPECT_EQ(vantor.ask("overlay on"), "ok");
    EXPECT_EQ(vantor.ask("loop 6000 8000"), "ok");
    const std::string status = vantor.ask("status");
    EXPECT_EQ(status.rfind("6000 ms, bar 3:1, paused, loop 6000-8000, ", 0), 0u) << status;
    EXPECT_NE(status.find(" fps, ok"), std::string::npos) << status;
    EXPECT_EQ(vantor.ask("loop off"), "ok");

    // Past the end: the show holds there, paused; a loop then plays.
    EXPECT_EQ(vantor.ask("seek 999999"), "ok");
    EXPECT_EQ(vantor.ask("play"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(vantor.ask("time"), "19999");
    EXPECT_EQ(vantor.ask("loop 1000 1500"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string looping = vantor.ask("status");
    EXPECT_NE(looping.find(", playing, loop 1000-1500"), std::string::npos) << looping;
    const int at = std::atoi(vantor.ask("time").c_str());
    EXPECT_GE(at, 1000);
    EXPECT_LT(at, 1500);
    expectQuitWithZero(vantor);
}

// Without a sound device author mode plays on a silent clock, and playing
// over the end of the show holds there instead of ending the program.
TEST(AuthorProgram, WithoutASoundDeviceTheShowPlaysOnASilentClockAndHoldsAtItsEnd) {
    TempDir dir;
    dir.write("show/data/script.scr", scriptShowing(0));
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = driver ? driver : "";
    ::setenv("SDL_AUDIODRIVER", "no-such-sound-driver", 1);
    AuthorChild vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
    if (driver)
        ::setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        ::unsetenv("SDL_AUDIODRIVER");

    EXPECT_EQ(vantor.ask("pause"), "ok");
    EXPECT_EQ(vantor.ask("seek 2000"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(vantor.ask("time"), "2000");
    EXPECT_EQ(vantor.ask("play"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const int playing = std::atoi(vantor.ask("time").c_str());
    EXPECT_GE(playing, 2300);
    EXPECT_LT(playing, 20000);

    // The last millisecond of the show, then across the end while playing.
    EXPECT_EQ(vantor.ask("seek 999999"), "ok");
    const std::string last = vantor.ask("time");
    const int end = std::atoi(last.c_str()) + 1;
    ASSERT_GT(end, 1000) << last;
    EXPECT_EQ(vantor.ask("seek " + std::to_string(end - 300)), "ok");
    EXPECT_EQ(vantor.ask("play"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(vantor.ask("time"), last);
    EXPECT_NE(vantor.ask("status").find(", paused"), std::string::npos);
    expectQuitWithZero(vantor);
}

// vantor-capture --data renders the folder's script over the archive.
TEST(AuthorProgram, CaptureRendersTheFolder) {
    TempDir dir;
    dir.write("show/data/script.scr", scriptShowing(0));
    dir.write("other/data/script.scr", scriptShowing(7));
    // vantor-capture reads the archive and the soundtrack in its working folder.
    for (const char* shipped : {"vantor.ppd", "soundtrack.mp3"})
        fs::create_symlink(fs::path(VANTOR_DEMO_DIR) / shipped, dir.path() / shipped);
    auto capture = [&](const std::string& folder) {
        const std::string command = "cd '" + dir.path().string() + "' && '" CAPTURE_PATH "' --quiet --data " + folder +
                                    " --at 2000 " + folder + "-shots/ >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return readPng(dir.file(folder + "-shots/2000.png"));
    };
    const auto picture = capture("show");
    const auto stars = capture("other");
    ASSERT_FALSE(picture.empty());
    EXPECT_GE(difference(picture, stars), 0.2);
}

}  // namespace
}  // namespace vantor::test
