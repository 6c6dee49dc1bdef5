// vantor-capture on a small generated demo: a packed archive whose timeline
// flashes and then fades to red, with a test soundtrack. The pictures it
// writes are compared with the demo's own loop driven directly on a virtual
// clock; the video is checked with ffprobe; the command line and the profile
// table as a user sees them.
#include "app/demo.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "app/windowless_messages.h"
#include "effects/flash_effect.h"
#include "libs/ppd/pack/pack.h"
#include "platform/gl_api.h"
#include "tests/support/temp_dir.h"
#include "app/frame_times.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace vantor::test {
namespace {

// A white flash at 500 ms (the first frame at 30 fps from DEMOSTART 200 that
// reaches it is exactly 500), a fade to red from 1000 to 2000 ms; a beat of
// 500 ms and a mark where the fade begins, for times in the script's names.
constexpr const char* kScript =
    "DEMOSTART 200\n"
    "BPM 120\n"
    "MARK fade 1000\n"
    "SETUP\n"
    "TIMELINE\n"
    "500 SIGNAL 30 1 0\n"
    "1000 INIT 31\n"
    "1000 SIGNAL 31 115 255\n"
    "1000 SIGNAL 31 4 2000\n"
    "1000 START 31\n"
    "LINETIME\n";
constexpr int kDemoStart = 200;
constexpr int kFps = 30;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// RGB of a PNG file, top row first; empty when it cannot be read.
std::vector<std::uint8_t> readPngRgb(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return rgb;
}

// The name of the n-th frame file of a capture into a folder.
std::string pngName(long long n) {
    char name[32];
    std::snprintf(name, sizeof name, "%06lld.png", n);
    return name;
}

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("soundtrack.mp3", readFile(std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3"));
        writeArchive(kScript);
    }

    // The build's generated data (stored, for speed) with the test's script.
    void writeArchive(const std::string& script) {
        namespace fs = std::filesystem;
        ppd_pack::PackOptions options;
        options.password = "quorbel";
        options.store = true;
        std::vector<ppd_pack::Member> members{{"data/script.scr", bytesOf(script)}};
        const fs::path demo = VANTOR_DEMO_DIR;
        for (const auto& entry : fs::recursive_directory_iterator(demo / "data")) {
            const std::string name = fs::relative(entry.path(), demo).generic_string();
            if (entry.is_regular_file() && name != "data/script.scr")
                members.push_back({name, bytesOf(readFile(entry.path().string()))});
        }
        if (fs::exists(demo / "celpalette.pcx"))
            members.push_back({"celpalette.pcx", bytesOf(readFile((demo / "celpalette.pcx").string()))});
        const auto archive = ppd_pack::packArchive(members, options);
        dir.write("vantor.ppd", std::string(archive.begin(), archive.end()));
    }

    // Runs a command line in the demo folder.
    Result run(const std::string& commandLine) {
        const std::string out = dir.file("stdout.txt"), err = dir.file("stderr.txt");
        const std::string shell =
            "cd '" + dir.path().string() + "' && " + commandLine + " >'" + out + "' 2>'" + err + "'";
        const int status = std::system(shell.c_str());
        Result result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readFile(out);
        result.err = readFile(err);
        return result;
    }
    Result capture(const std::string& arguments) { return run(std::string("'") + CAPTURE_PATH + "' " + arguments); }

    TempDir dir;
};

// The demo's own loop on a virtual clock, each frame drawn at a time the test
// chooses; after each frame the pixels can be read back.
class DirectDemo {
public:
    DirectDemo() : gl_(platform::OffscreenGL::create(kWidth, kHeight)), target_(*gl_) {
        demo_.emplace(target_, table_, kDemoFiles, music_, messages_);
        demo_->loop().scriptPhase();
    }
    void draw(int time) {
        music_.clock().set(time);
        const auto drawn = demo_->loop().framesDrawn();
        ASSERT_TRUE(demo_->loop().pass());
        ASSERT_EQ(demo_->loop().framesDrawn(), drawn + 1) << "a pass without a window draws a frame";
    }
    std::vector<std::uint8_t> rgb() const {
        const auto rgba = gl_->readPixels();
        std::vector<std::uint8_t> rgb;
        for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        return rgb;
    }
    Demo& demo() { return *demo_; }

private:
    std::unique_ptr<platform::OffscreenGL> gl_;
    OffscreenTarget target_;
    OfflineMusic music_;
    WindowlessMessages messages_;
    EffectTable table_;
    std::optional<Demo> demo_;
};

TEST_F(CaptureTest, PicturesEqualTheLoopDrivenDirectlyAndShowTheFlashAsScripted) {
    // 450 and 560 lie between two frames of the rate; 1500 is a frame of it.
    const Result result = capture("--quiet --fps 30 --size 160x120 --at 1500,450,560 shots/");
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "") << "quiet";

    dir.enter();
    DirectDemo direct;
    EXPECT_EQ(direct.demo().loop().script()->demoStart(), kDemoStart);
    GLint depth = 0, stencil = 0, alpha = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    EXPECT_GE(depth, 24);
    EXPECT_GE(stencil, 8);
    EXPECT_GE(alpha, 8);

    long long n = 0;
    int flashFrames = 0;  // frames drawn since the flash's signal, that one included
    for (int at : {450, 560, 1500}) {
        SCOPED_TRACE(at);
        // Every frame of the rate before the picture, then the picture itself.
        for (; kDemoStart + n * 1000 / kFps < at; ++n) {
            const int time = kDemoStart + static_cast<int>(n * 1000 / kFps);
            direct.draw(time);
            if (time >= 500) ++flashFrames;
        }
        direct.draw(at);
        if (at >= 500) ++flashFrames;
        if (kDemoStart + n * 1000 / kFps == at) ++n;

        int width = 0, height = 0;
        const auto picture = readPngRgb(dir.file("shots/" + std::to_string(at) + ".png"), width, height);
        ASSERT_EQ(width, kWidth);
        ASSERT_EQ(height, kHeight);
        const auto expected = direct.rgb();
        ASSERT_EQ(picture.size(), expected.size());
        EXPECT_TRUE(picture == expected) << "the picture differs from the directly driven loop";

        const std::size_t centre = (std::size_t(kHeight / 2) * kWidth + kWidth / 2) * 3;
        const int red = picture[centre], green = picture[centre + 1];
        if (at == 450) {
            EXPECT_EQ(red, 0) << "before the flash the screen is black";
        } else if (at == 560) {
            // Frames 500, 533 and 560 at 30 a second; the flash decays on the
            // 60 Hz grid of music time, as in a 60 fps video: the steps at
            // 500, 516, 533 and 550, four in all.
            EXPECT_EQ(flashFrames, 3);
            const double level = 1.0 - 4 * FlashEffect::kDecayPerFrame;
            EXPECT_NEAR(red, 255 * level, 2);
            EXPECT_NEAR(green, 255 * level, 2);
        } else {
            // The flash is over; the fade is half way to red.
            EXPECT_NEAR(red, 127.5, 3);
            EXPECT_LE(green, 1);
        }
    }
}

// The author overlay only when asked: it covers the top left of the frame
// and leaves the rest as the demo drew it.
TEST_F(CaptureTest, OverlayOnlyWhenAsked) {
    ASSERT_EQ(capture("--quiet --fps 30 --size 320x240 --at 1500 plain/").code, 0);
    const Result result = capture("--quiet --overlay --fps 30 --size 320x240 --at 1500 overlay/");
    ASSERT_EQ(result.code, 0) << result.err;
    int width = 0, height = 0;
    const auto plain = readPngRgb(dir.file("plain/1500.png"), width, height);
    const auto over = readPngRgb(dir.file("overlay/1500.png"), width, height);
    ASSERT_EQ(plain.size(), over.size());
    ASSERT_FALSE(plain.empty());
    auto at = [&](const std::vector<std::uint8_t>& rgb, int x, int y) { return rgb[(std::size_t(y) * width + x) * 3]; };
    EXPECT_LT(at(over, 12, 12), at(plain, 12, 12) / 2) << "the panel darkens the half-red fade";
    EXPECT_EQ(at(over, width - 4, height - 4), at(plain, width - 4, height - 4));
}

// A 16:9 video holds the 4:3 show between bars, in the form video platforms
// and compos take: H.264 High profile, 4:2:0, AAC stereo at 48 kHz.
TEST_F(CaptureTest, TwoSecondsOfVideoHaveTheirFramesSizeAndSound) {
    const Result result = capture("--quiet --fps 30 --size 320x180 --from 1000 --to 3000 clip.mp4");
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file(".partial-clip.mp4"))) << "the video was completed under its name";
    const Result video =
        run("ffprobe -v error -select_streams v:0 -count_frames "
            "-show_entries stream=width,height,nb_read_frames,profile,pix_fmt -of default=nw=1 clip.mp4");
    ASSERT_EQ(video.code, 0) << video.err;
    EXPECT_NE(video.out.find("width=320\n"), std::string::npos) << video.out;
    EXPECT_NE(video.out.find("height=180\n"), std::string::npos) << video.out;
    EXPECT_NE(video.out.find("profile=High\n"), std::string::npos) << video.out;
    EXPECT_NE(video.out.find("pix_fmt=yuv420p\n"), std::string::npos) << video.out;
    EXPECT_NE(video.out.find("nb_read_frames=60\n"), std::string::npos) << video.out;
    const Result audio = run(
        "ffprobe -v error -select_streams a:0 -show_entries stream=codec_type,codec_name,sample_rate,channels,duration "
        "-of default=nw=1 clip.mp4");
    ASSERT_EQ(audio.code, 0) << audio.err;
    ASSERT_NE(audio.out.find("codec_type=audio"), std::string::npos) << audio.out;
    EXPECT_NE(audio.out.find("codec_name=aac\n"), std::string::npos) << audio.out;
    EXPECT_NE(audio.out.find("sample_rate=48000\n"), std::string::npos) << audio.out;
    EXPECT_NE(audio.out.find("channels=2\n"), std::string::npos) << audio.out;
    const std::size_t at = audio.out.find("duration=");
    ASSERT_NE(at, std::string::npos) << audio.out;
    EXPECT_NEAR(std::atof(audio.out.c_str() + at + 9), 2.0, 0.05);
}

// Without --to the capture ends with the show: at the script's DEMOEND, else
// at the end of the (twelve-second) soundtrack; a --to past it ends there too.
TEST_F(CaptureTest, WritingEndsWhereTheShowEnds) {
    writeArchive(std::string("DEMOEND 1500\n") + kScript);
    ASSERT_EQ(capture("--quiet --fps 30 --size 160x120 clip.mp4").code, 0);
    const Result video =
        run("ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames "
            "-of default=nw=1 clip.mp4");
    EXPECT_EQ(video.out, "nb_read_frames=" + std::to_string(firstFrameAt(kDemoStart, 1500, kFps)) + "\n");
    ASSERT_EQ(capture("--quiet --fps 30 --size 160x120 --to 9000 frames/").code, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("frames/000038.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("frames/000039.png")));

    writeArchive(kScript);
    ASSERT_EQ(capture("--quiet --fps 10 --size 160x120 tone/").code, 0);
    const long long frames = firstFrameAt(kDemoStart, 12000, 10);
    EXPECT_TRUE(std::filesystem::exists(dir.file("tone/" + pngName(frames - 1))));
    EXPECT_FALSE(std::filesystem::exists(dir.file("tone/" + pngName(frames))));
}

TEST_F(CaptureTest, ProfileTableNamesEveryEffectWithTheFramesItRanIn) {
    const Result result = capture("--quiet --profile --fps 30 --size 160x120 --at 1500 shots/");
    ASSERT_EQ(result.code, 0) << result.err;
    std::istringstream table(result.out);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(table, line)) lines.push_back(line);
    // Header, one row per registered effect (29, 30 and 31 among them), frame, summary.
    ASSERT_GE(lines.size(), 6u) << result.out;
    EXPECT_NE(lines.front().find("id"), std::string::npos) << lines.front();
    // The table alone: none of the progress lines the demo prints while it loads.
    EXPECT_EQ(result.out.find("from disk"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Loading file"), std::string::npos) << result.out;

    // A row: [id] name frames mean max; the frame total has no id.
    auto row = [&](const std::string& name, int& id, long long& frames, double& mean, double& max) {
        for (const std::string& l : lines) {
            std::istringstream in(l);
            std::string first, second;
            in >> first;
            if (first != name) {
                in >> second;
                if (second != name) continue;
            }
            id = first == name ? -1 : std::atoi(first.c_str());
            in >> frames >> mean >> max;
            return !in.fail();
        }
        return false;
    };
    int id = 0;
    long long frames = 0;
    double mean = 0, max = 0;
    ASSERT_TRUE(row("FlashEffect", id, frames, mean, max)) << result.out;
    EXPECT_EQ(id, 30);
    // A flash lasts 20 steps of the 60 Hz grid (a third of a second): the
    // frames at 500, 533, ..., 833 at 30 a second.
    EXPECT_EQ(frames, 11) << "a flash lasts a third of a second";
    EXPECT_GT(mean, 0.0);
    EXPECT_GE(max, mean);
    ASSERT_TRUE(row("FadeEffect", id, frames, mean, max)) << result.out;
    EXPECT_EQ(id, 31);
    EXPECT_EQ(frames, 16) << "the frames at 1000, 1033, ..., 1500";
    ASSERT_TRUE(row("ScratchEffect", id, frames, mean, max)) << result.out;
    EXPECT_EQ(frames, 0);
    ASSERT_TRUE(row("frame", id, frames, mean, max)) << result.out;
    EXPECT_EQ(frames, 40) << "DEMOSTART to 1500 at 30 fps";
    EXPECT_NE(lines.back().find("40 frames"), std::string::npos) << lines.back();
    EXPECT_NE(lines.back().find("frames per second"), std::string::npos) << lines.back();
}

TEST_F(CaptureTest, CommandLineErrorsAndMissingPieces) {
    const Result help = capture("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: vantor-capture", 0), 0u) << help.out;

    for (const char* wrong : {"", "a.mp4 b.mp4", "out.avi", "--size 640 out.mp4", "--size 0x480 out.mp4",
                              "--size 641x480 out.mp4", "--fps 0 out.mp4", "--fps x out.mp4", "--at 1000 out.mp4",
                              "--at 1000,,2000 shots/", "--at 250000 shots/", "--at 1000 --from 0 shots/",
                              "--from 5000 --to 4000 out.mp4", "--to 240001 out.mp4", "--bogus out.mp4", "--fps"}) {
        SCOPED_TRACE(wrong);
        const Result result = capture(wrong);
        EXPECT_EQ(result.code, 2);
        EXPECT_NE(result.err.find("vantor-capture: "), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }

    const Result noFfmpeg = run(std::string("PATH=/nonexistent '") + CAPTURE_PATH + "' --quiet clip.mp4");
    EXPECT_EQ(noFfmpeg.code, 1);
    EXPECT_NE(noFfmpeg.err.find("ffmpeg"), std::string::npos) << noFfmpeg.err;
    EXPECT_NE(noFfmpeg.err.find("install"), std::string::npos) << noFfmpeg.err;
    EXPECT_NE(noFfmpeg.err.find("PNG"), std::string::npos) << noFfmpeg.err;

    // ffmpeg cannot write there: the capture fails and leaves no video behind.
    const Result unwritable = capture("--quiet --to 2000 missing/clip.mp4");
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_NE(unwritable.err.find("vantor-capture: ffmpeg"), std::string::npos) << unwritable.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    // Pictures before DEMOSTART do not exist.
    const Result early = capture("--quiet --at 100 shots/");
    EXPECT_EQ(early.code, 1);
    EXPECT_NE(early.err.find("DEMOSTART"), std::string::npos) << early.err;

    // The demo's start-up fails as the demo does, as one line on stderr.
    std::remove(dir.file("soundtrack.mp3").c_str());
    const Result noMusic = capture("--quiet --at 1000 shots/");
    EXPECT_EQ(noMusic.code, 1);
    EXPECT_EQ(noMusic.err, "vantor-capture: could not set up music\n");
}

// --at, --from and --to in the script's names: the grid, its marks, sums.
TEST_F(CaptureTest, TimesInTheScriptsNames) {
    Result result = capture("--quiet --fps 30 --size 160x120 --at 1000 --at fade+BEAT1,BAR1 --at 1000 named/");
    ASSERT_EQ(result.code, 0) << result.err;
    for (const char* file : {"1000.png", "1500.png", "2000.png"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string("named/") + file))) << file;

    result = capture("--quiet --fps 30 --size 160x120 --from BEAT1 --to fade named-frames/");
    ASSERT_EQ(result.code, 0) << result.err;
    // Frames from 500 up to 1000 at 30 fps from DEMOSTART 200: 500, 533, ... 966.
    EXPECT_TRUE(std::filesystem::exists(dir.file("named-frames/000014.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("named-frames/000015.png")));

    for (const char* wrong :
         {"--at BAR1+BI shots/", "--at BAR999 shots/", "--from fade --to BEAT1 shots/", "--to chorus clip/"}) {
        SCOPED_TRACE(wrong);
        result = capture(std::string("--quiet ") + wrong);
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.err.rfind("vantor-capture: --", 0), 0u) << result.err;
    }
    EXPECT_NE(capture("--quiet --at BAR1+BI shots/").err.find("`BI`"), std::string::npos);
}

TEST(CaptureFrameTimes, AreExactFromTheFrameNumberAndFoundAgainFromATime) {
    EXPECT_EQ(frameTime(0, 14400, 60), 240000) << "four minutes at 60 fps end exactly";
    EXPECT_EQ(frameTime(0, 1, 60), 16);
    EXPECT_EQ(frameTime(0, 2, 60), 33);
    EXPECT_EQ(frameTime(0, 3, 60), 50);
    for (int fps : {1, 24, 30, 60, 144}) {
        for (int time = 61440; time < 61440 + 2100; ++time) {
            const long long n = firstFrameAt(61440, time, fps);
            ASSERT_GE(frameTime(61440, n, fps), time) << fps;
            if (n > 0) {
                ASSERT_LT(frameTime(61440, n - 1, fps), time) << fps;
            }
        }
        EXPECT_EQ(firstFrameAt(61440, 0, fps), 0);
    }
}

TEST(VantorWithoutDisplay, SaysSoAndNamesTheCaptureTool) {
    const std::string err = (std::filesystem::temp_directory_path() / "vantor-no-display.txt").string();
    const int status = std::system(
        ("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '" + std::string(VANTOR_PATH) + "' 2>'" + err + "'")
            .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string text = readFile(err);
    std::remove(err.c_str());
    EXPECT_NE(text.find("no display"), std::string::npos) << text;
    EXPECT_NE(text.find("vantor-capture"), std::string::npos) << text;
    EXPECT_EQ(text.find("OpenGL init failed"), std::string::npos) << text;
}

}  // namespace
}  // namespace vantor::test
