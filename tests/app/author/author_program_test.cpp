// vantor --data DIR --control end to end on a private X server: the program
// next to the build's archive and soundtrack, a data folder holding only a
// script, driven through its control channel while the test edits the
// script; and vantor-capture --data on the same folder.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

// The picture (id 0, full screen) from 100 ms on; the second script shows
// the star background (id 7) instead.
std::string scriptShowing(int id) {
    return "DEMOSTART 0\nSETUP\nTIMELINE\n100 INIT " + std::to_string(id) + "\n100 START " + std::to_string(id) +
           "\nLINETIME\n";
}

// A program with a pipe to its standard input and one from its standard output.
class Child {
public:
    Child(const std::string& directory, const std::vector<std::string>& arguments) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            if (::chdir(directory.c_str()) != 0) ::_exit(127);
            std::vector<char*> argv;
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
    }
    ~Child() {
        if (toChild_ >= 0) ::close(toChild_);
        if (fromChild_ >= 0) ::close(fromChild_);
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // Sends one command and waits for its answer line ("<timeout>" after a minute).
    std::string ask(const std::string& command) {
        const std::string line = command + "\n";
        if (::write(toChild_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "<write failed>";
        std::string answer;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < until) {
            const std::size_t end = buffered_.find('\n');
            if (end != std::string::npos) {
                answer = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return answer;
            }
            pollfd p{fromChild_, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0) continue;
            char chunk[512];
            const ssize_t got = ::read(fromChild_, chunk, sizeof chunk);
            if (got <= 0) return "<closed>";
            buffered_.append(chunk, static_cast<std::size_t>(got));
        }
        return "<timeout>";
    }

    // The exit code once the program has ended (-1: killed or still running after a minute).
    int wait() {
        for (int i = 0; i < 600; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool exited_ = false;
    std::string buffered_;
};

std::vector<std::uint8_t> readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
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
    Child vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});

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

    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
}

// The shipped scene in the folder, then saved cut to half its length (a
// scene saved half-written); the show's own script from the archive plays.
void saveScene(TempDir& dir, const std::string& member, bool half) {
    const std::string whole = readFile((fs::path(VANTOR_DEMO_DIR) / member).string());
    dir.write("show/" + member, half ? whole.substr(0, whole.size() / 2) : whole);
}

bool isWholeFrame(const std::string& png) { return readPng(png).size() == 640u * 480u * 3u; }

// A broken scene saved while the music plays past it, then a seek back: the
// rebuild the seek needs fails on the scene, and the show goes on with the
// effects it had (the window, its GL context and the sound stay up).
TEST(AuthorProgram, ASeekBackAfterAHalfWrittenSceneKeepsTheShowPlaying) {
    TempDir dir;
    saveScene(dir, "data/modul2.ppp", false);
    Child vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
    EXPECT_EQ(vantor.ask("seek 100000"), "ok");
    EXPECT_EQ(vantor.ask("play"), "ok");
    saveScene(dir, "data/modul2.ppp", true);
    // The save settles and fails to load; then the seek back.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(vantor.ask("pause"), "ok");
    EXPECT_EQ(vantor.ask("seek 50000"), "ok");
    EXPECT_EQ(vantor.ask("time"), "50000");
    ASSERT_EQ(vantor.ask("shot " + dir.file("after.png")), "ok");
    EXPECT_TRUE(isWholeFrame(dir.file("after.png")));
    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
}

// A broken scene with reload, loop and seek: the sound is still there to
// play on, and shots still find the frame while paused.
TEST(AuthorProgram, ABrokenSceneWithReloadLoopAndSeekKeepsSoundAndFrames) {
    TempDir dir;
    saveScene(dir, "data/modul2.ppp", false);
    Child vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
    EXPECT_EQ(vantor.ask("pause"), "ok");
    saveScene(dir, "data/modul2.ppp", true);
    const std::string failed = vantor.ask("reload");
    EXPECT_EQ(failed.rfind("error: ", 0), 0u) << failed;
    // Author mode's report leads with the file to edit.
    EXPECT_EQ(failed.rfind("error: show/data/modul2.ppp: ", 0), 0u) << failed;
    ASSERT_EQ(vantor.ask("shot " + dir.file("paused.png")), "ok");
    EXPECT_TRUE(isWholeFrame(dir.file("paused.png")));
    EXPECT_EQ(vantor.ask("play"), "ok");
    EXPECT_EQ(vantor.ask("loop 1000 1500"), "ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // wraps at least once
    EXPECT_EQ(vantor.ask("seek 500"), "ok");
    EXPECT_EQ(vantor.ask("reload").rfind("error: ", 0), 0u);
    EXPECT_EQ(vantor.ask("loop off"), "ok");
    EXPECT_EQ(vantor.ask("play"), "ok");
    EXPECT_EQ(vantor.ask("pause"), "ok");
    ASSERT_EQ(vantor.ask("shot " + dir.file("again.png")), "ok");
    EXPECT_TRUE(isWholeFrame(dir.file("again.png")));
    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
}

// The commands that do what the keys do, and a loop asked for while the show
// holds at its end.
TEST(AuthorProgram, TheControlChannelStepsJumpsToMarksAndTellsItsStatus) {
    TempDir dir;
    dir.write("show/data/script.scr",
              "DEMOSTART 0\nDEMOEND 20000\nBPM 120\nMARK drop 6000\nMARK late 9000\n"
              "SETUP\nTIMELINE\n100 INIT 7\n100 START 7\nLINETIME\n");
    Child vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
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
    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
}

// Without a sound device author mode plays on a silent clock, and playing
// over the end of the show holds there instead of ending the program.
TEST(AuthorProgram, WithoutASoundDeviceTheShowPlaysOnASilentClockAndHoldsAtItsEnd) {
    TempDir dir;
    dir.write("show/data/script.scr", scriptShowing(0));
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = driver ? driver : "";
    ::setenv("SDL_AUDIODRIVER", "no-such-sound-driver", 1);
    Child vantor(dir.path().string(), {VANTOR_PATH, "--data", "show", "--control"});
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
    EXPECT_EQ(vantor.ask("quit"), "ok");
    EXPECT_EQ(vantor.wait(), 0);
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
