// The first frame author mode draws after a seek (forward and back), a save,
// a loop wrap and Home, and frames drawn at other rates than 60 a second,
// against the show drawn at 60 frames a second from DEMOSTART (what
// vantor-capture renders). The show is a short one made of the shipped
// effects, so every kind of per-frame motion falls in its first ten seconds;
// the real effects draw in the offscreen context, the music on a virtual clock.
//
// The noise layer's grain is random, so in every demo it is replaced by one
// flat grey after each of its frames; its strength still shows.
#include "app/author/author_session.h"
#include "app/demo.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "app/windowless_messages.h"
#include "effects/noise_effect.h"
#include "libs/log/progress_log.h"
#include "libs/ppd/ppd.h"
#include "platform/gl_api.h"
#include "runtime/effect_table.h"
#include "runtime/fatal_error.h"
#include "runtime/startup_files.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

constexpr int kNoiseId = 28;
using Picture = std::vector<std::uint8_t>;

// Flattens the noise's texture after its run, before it is drawn.
class FlatNoise : public EffectCallObserver {
public:
    void beforeCall(int, const Effect&, Call) override {}
    void afterCall(int id, const Effect& effect, Call call) override {
        if (id != kNoiseId || call != Call::Run) return;
        auto& noise = const_cast<NoiseEffect&>(static_cast<const NoiseEffect&>(effect));
        for (std::size_t i = 0; i < noise.noise.size(); ++i) noise.noise[i] = (i % 4 == 3) ? 255 : 128;
        glBindTexture(GL_TEXTURE_2D, noise.texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, noise.size, noise.size, GL_RGBA, GL_UNSIGNED_BYTE, noise.noise.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
};

// The shipped script's names and header with a timeline of its own: the
// title's wipe, a card's glide, the logo closing with grain, flashes, the
// particles fading in and out over the metaballs scene, the glowing stones,
// and the swirl over a scene.
std::string shortShow() {
    ppd_file* shipped = ppd_open("data/script.scr");
    if (!shipped) return {};
    std::string text(reinterpret_cast<const char*>(shipped->data), shipped->size);
    ppd_close(shipped);
    const std::size_t timeline = text.find("\nTIMELINE\n");
    if (timeline == std::string::npos) return {};
    text.resize(timeline + 10);
    return text + R"(1 START LOADING
500 INIT STARS
500 START STARS
500 INIT WIPE
500 SIGNAL WIPE DURATION 700
500 SIGNAL WIPE WIPE_FROM LOADING
500 START WIPE
500 END LOADING
1500 END WIPE
1500 SIGNAL STARS BLEND_ON 1
1500 INIT CARDS
1500 SIGNAL CARDS BLEND_ON 0
1500 SIGNAL CARDS DURATION 1920
1500 SIGNAL CARDS TARGET_ALPHA 100
1500 SIGNAL CARDS GLIDE_FROM 1500
1500 START CARDS
2500 SIGNAL FLASH ONCE 0
2500 INIT LOGO
2500 SIGNAL LOGO LOGO_MODE CLOSING
2500 START LOGO
2500 INIT NOISE
2500 SIGNAL NOISE REROLL 1
2500 SIGNAL NOISE NOISE_ALPHA 10
2500 START NOISE
3500 END CARDS
3500 END LOGO
3500 END STARS
3500 INIT METABALLS
3500 START METABALLS
3500 INIT PARTICLES
3500 SIGNAL PARTICLES DURATION 2000
3500 START PARTICLES
5000 SIGNAL FLASH ONCE 0
5000 SIGNAL PARTICLES FADE_OUT 0
6000 END PARTICLES
6000 END METABALLS
6000 INIT STONES
6000 SIGNAL STONES GLOW_PERIOD HALFBAR
6000 SIGNAL STONES GLOW_LEVEL1 30
6000 SIGNAL STONES GLOW_LEVEL2 30
6000 START STONES
7500 END STONES
7500 INIT LOGO3D
7500 INIT SWIRL
7500 SIGNAL SWIRL SOURCE LOGO3D
7500 START SWIRL
9500 END SWIRL
)";
}

// Times on the 60 a second grid: in the wipe, in the card's glide, just after
// a flash with the logo closing in, the particles fading in over a scene,
// fading out just after a flash, the stones' glow, the swirl.
const std::vector<int> kTimes = {800, 2000, 2550, 4000, 5300, 6500, 8000};

double meanDifference(const Picture& a, const Picture& b) {
    double sum = 0;
    std::size_t channels = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (i % 4 == 3) continue;
        sum += std::abs(int(a[i]) - int(b[i]));
        ++channels;
    }
    return channels && a.size() == b.size() ? sum / channels : 255.0;
}

class ReplayTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        vantor::log::setProgressQuiet(true);
        files = kDemoFiles;
        archive = std::string(VANTOR_DEMO_DIR) + "/vantor.ppd";
        soundtrack = std::string(VANTOR_DEMO_DIR) + "/soundtrack.mp3";
        files.archive = archive.c_str();
        files.soundtrack = soundtrack.c_str();
        folderName = folder.path().string();
        files.dataFolder = folderName.c_str();
        ppd_set_archive(files.archive, files.password);
        const std::string show = shortShow();
        ASSERT_FALSE(show.empty());
        folder.write(files.script, show);
    }
    void TearDown() override {
        ppd_set_folder(nullptr);
        ppd_clear_archive();
    }

    // The frames at the times, drawn at 60 a second from DEMOSTART as
    // vantor-capture draws them; once for every test.
    const std::map<int, Picture>& video() {
        static std::map<int, Picture> frames;
        if (!frames.empty()) return frames;
        Player reference(*this);
        for (long long n = 0; frames.size() < kTimes.size() + 1; ++n) {
            const int t = static_cast<int>(n * 1000 / 60);
            Picture picture = reference.draw(t);
            if (t == 0 || std::find(kTimes.begin(), kTimes.end(), t) != kTimes.end()) frames[t] = std::move(picture);
            if (t > kTimes.back()) break;
        }
        return frames;
    }

    // The demo on the folder, drawn frame by frame at chosen times; with
    // author mode's session over it when asked.
    class Player {
    public:
        explicit Player(ReplayTest& test, bool author = false) : target_(context()) {
            demo_ = std::make_unique<Demo>(target_, table_, test.files, music_, messages_,
                                           author ? Demo::BuildErrors::Keep : Demo::BuildErrors::End);
            table_.setObserver(&noise_);
            if (author) {
                session_ = std::make_unique<AuthorSession>(
                    *demo_, AuthorSession::Files{test.folderName, test.files.script, test.soundtrack}, nullptr,
                    [] { return std::int64_t(0); }, [this](const std::string& text) { errors_ += text; });
                session_->start();
            } else {
                demo_->loop().scriptPhase();
            }
        }
        ~Player() { table_.clear(); }

        // The frame drawn once the music stands at `time`, read back.
        Picture draw(int time) {
            music_.clock().set(time);
            return drawHere();
        }
        // The next frame where the music stands.
        Picture drawHere() {
            FrameLoop& loop = demo_->loop();
            const auto drawn = loop.framesDrawn();
            while (loop.framesDrawn() == drawn)
                if (!(session_ ? session_->pass() : loop.pass())) break;
            return loop.framesDrawn() == drawn ? Picture{} : context().readPixels();
        }
        // Frames at `fps` a second from `from` up to (not including) `to`,
        // then the one at `to`.
        Picture play(int from, int to, int fps) {
            for (long long n = 0;; ++n) {
                const int t = from + static_cast<int>(n * 1000 / fps);
                if (t >= to) break;
                draw(t);
            }
            return draw(to);
        }

        AuthorSession& session() { return *session_; }
        OfflineMusic& music() { return music_; }
        const std::string& errors() const { return errors_; }

    private:
        ScopedFatalErrorCapture fatalErrors_;
        OffscreenTarget target_;
        OfflineMusic music_;
        WindowlessMessages messages_;
        EffectTable table_;
        FlatNoise noise_;
        std::unique_ptr<Demo> demo_;
        std::unique_ptr<AuthorSession> session_;
        std::string errors_;
    };

    TempDir folder;
    StartupFiles files;
    std::string archive, soundtrack, folderName;
};

// The video's flashes are bright in their first frame and decayed a little
// later: a replay that set a flash to full strength and let no step decay it,
// or one that took every step at once, shows against them.
TEST_F(ReplayTest, TheVideoShowsEveryKindOfMotion) {
    const auto& frames = video();
    ASSERT_EQ(frames.size(), kTimes.size() + 1);
    for (int t : kTimes) ASSERT_EQ(frames.at(t).size(), std::size_t(640) * 480 * 4) << t;
    EXPECT_GT(meanDifference(frames.at(2550), frames.at(2000)), 20.0);
    EXPECT_GT(meanDifference(frames.at(5300), frames.at(4000)), 10.0);
}

// Through the session as the control channel and the keys drive it: seeks
// forward from the previous time, seeks back from the end of the short show,
// a save of a picture at each time (fresh effects, the music left where it
// is), a loop wrapping back to each time, and Home.
TEST_F(ReplayTest, FirstFrameAfterASeekASaveALoopWrapAndHomeIsTheVideosFrame) {
    const auto& frames = video();
    Player author(*this, true);
    ASSERT_EQ(author.errors(), "");
    author.draw(0);
    for (int t : kTimes) {
        author.session().seek(t);
        EXPECT_LE(meanDifference(author.drawHere(), frames.at(t)), 2.0) << "seek forward to " << t;
    }
    for (int t : kTimes) {
        author.draw(9000);
        author.session().seek(t);
        EXPECT_LE(meanDifference(author.drawHere(), frames.at(t)), 2.0) << "seek back to " << t;
    }
    for (int t : kTimes) {
        author.session().seek(t);
        author.drawHere();
        ASSERT_TRUE(author.session().reload({false, true, false})) << author.session().error();
        EXPECT_LE(meanDifference(author.drawHere(), frames.at(t)), 2.0) << "save at " << t;
    }
    for (int t : kTimes) {
        ASSERT_TRUE(author.session().setLoop(t, t + 600));
        author.draw(t + 300);
        EXPECT_LE(meanDifference(author.draw(t + 600), frames.at(t)), 2.0) << "loop wrap to " << t;
        author.session().clearLoop();
    }
    author.draw(7000);
    author.session().press(TransportKey::Home);
    EXPECT_LE(meanDifference(author.drawHere(), frames.at(0)), 2.0) << "Home";
    EXPECT_EQ(author.errors(), "");
}

// Drawn at 30 a second through the whole short show, and at 240 a second
// into the wipe, the flash and the particles' fade from a little before
// each: the same pictures at the same music times.
TEST_F(ReplayTest, FramesAtOtherRatesShowTheVideosPicture) {
    const auto& frames = video();
    Player slow(*this);
    int from = 0;
    for (int t : kTimes) {
        EXPECT_LE(meanDifference(slow.play(from, t, 30), frames.at(t)), 2.0) << "30 fps, " << t;
        from = t;
    }
    Player fast(*this);
    for (int t : {800, 2550, 5300}) {
        const int from = std::max(t - 300, 0);
        fast.draw(from);
        EXPECT_LE(meanDifference(fast.play(from, t, 240), frames.at(t)), 2.0) << "240 fps, " << t;
    }
}

// Rebuilt effects give their GL objects back, also those of a rebuild that
// failed half-way (a picture saved broken): after each rebuild as many
// textures and display lists live as after the first.
TEST_F(ReplayTest, RebuildsLeaveNoTexturesOrListsBehind) {
    Player author(*this, true);
    author.draw(3000);
    auto live = [] {
        std::pair<int, int> count{0, 0};
        for (GLuint name = 1; name < 20000; ++name) {
            count.first += glIsTexture(name) == GL_TRUE;
            count.second += glIsList(name) == GL_TRUE;
        }
        return count;
    };
    std::vector<std::pair<int, int>> counts;
    for (int i = 0; i < 4; ++i) {
        if (i % 2 == 1) {
            folder.write("data/images/particle.pcx", "not a picture");
            EXPECT_FALSE(author.session().reload({false, true, false}));
            std::filesystem::remove(folder.file("data/images/particle.pcx"));
        }
        ASSERT_TRUE(author.session().reload({false, true, false})) << author.session().error();
        author.draw(3000 + 100 * i);
        counts.push_back(live());
    }
    for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_EQ(counts[i], counts[0]) << "rebuild " << i;
}

}  // namespace
}  // namespace vantor::test
