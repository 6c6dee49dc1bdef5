// The first frame after a seek or a restart of the timeline, and frames drawn
// at other rates than 60 a second, against the show drawn at 60 frames a
// second from DEMOSTART (what vantor-capture renders): the shipped show's
// real effects in the offscreen context, the music on a virtual clock.
//
// The noise layer's grain is random, so in every demo it is replaced by one
// flat grey after each of its frames; its strength still shows.
#include "app/demo.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "app/windowless_messages.h"
#include "effects/noise_effect.h"
#include "platform/gl_api.h"
#include "runtime/effect_table.h"
#include "runtime/frame_steps.h"
#include "runtime/startup_files.h"
#include "tests/support/gl_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

constexpr int kNoiseId = 28;

// Flattens the noise's texture after its run, before it is drawn.
class FlatNoise : public EffectCallObserver {
public:
    void beforeCall(int, const Effect&, Call) override {}
    void afterCall(int id, const Effect& effect, Call call) override {
        if (id != kNoiseId || call != Call::Run) return;
        auto& noise = const_cast<NoiseEffect&>(static_cast<const NoiseEffect&>(effect));
        for (std::size_t i = 0; i < noise.noise.size(); ++i) noise.noise[i] = (i % 4 == 3) ? 255 : 128;
        glBindTexture(GL_TEXTURE_2D, noise.texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, noise.size, noise.size, GL_RGBA, GL_UNSIGNED_BYTE,
                        noise.noise.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
};

// One demo on the build's archive, drawn frame by frame at chosen times.
class PlayedDemo {
public:
    explicit PlayedDemo(platform::OffscreenGL& gl) : target_(gl) {
        files_ = kDemoFiles;
        archive_ = std::string(VANTOR_DEMO_DIR) + "/vantor.ppd";
        soundtrack_ = std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3";
        files_.archive = archive_.c_str();
        files_.soundtrack = soundtrack_.c_str();
        demo_ = std::make_unique<Demo>(target_, table_, files_, music_, messages_);
        table_.setObserver(&noise_);
        demo_->loop().scriptPhase();
    }

    // The frame at music time `time`, read back.
    std::vector<std::uint8_t> draw(int time) {
        music_.clock().set(time);
        FrameLoop& loop = demo_->loop();
        const auto drawn = loop.framesDrawn();
        while (loop.framesDrawn() == drawn)
            if (!loop.pass()) break;
        std::vector<std::uint8_t> rgba(std::size_t(kFrameWidth) * kFrameHeight * 4);
        glReadPixels(0, 0, kFrameWidth, kFrameHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
    static constexpr int kFrameWidth = 640;
    static constexpr int kFrameHeight = 480;

    // Frames at `fps` a second from `from` up to (not including) `to`, then
    // the one at `to`.
    std::vector<std::uint8_t> play(int from, int to, int fps) {
        for (long long n = 0;; ++n) {
            const int t = from + static_cast<int>(n * 1000 / fps);
            if (t >= to) break;
            draw(t);
        }
        return draw(to);
    }

    // What author mode does on a seek back: fresh effects, the timeline
    // started again, the music moved.
    void restartAt(int time) {
        auto script = std::make_unique<Script>(*demo_->loop().script());
        demo_->rebuildEffects();
        table_.setObserver(&noise_);
        music_.clock().set(time);
        table_.stopAll();
        demo_->loop().startScript(std::move(script));
    }

private:
    StartupFiles files_;
    std::string archive_, soundtrack_;
    OffscreenTarget target_;
    OfflineMusic music_;
    WindowlessMessages messages_;
    EffectTable table_;
    FlatNoise noise_;
    std::unique_ptr<Demo> demo_;
};

double meanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    std::size_t channels = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (i % 4 == 3) continue;
        sum += std::abs(int(a[i]) - int(b[i]));
        ++channels;
    }
    return channels ? sum / channels : 255.0;
}

double meanLevel(const std::vector<std::uint8_t>& a) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (i % 4 != 3) sum += a[i];
    return sum / (a.size() / 4 * 3);
}

class ReplayTest : public GlTest {};

// Times on the 60 a second grid: in the title's wipe (bar 2 + 310 ms), in the
// opening card's fade-in (bar 4 + 520), the logo closing in with film grain
// (bar 8 + 640), just after the flash of bar 16 (+ 30), a scene (bar 26).
TEST_F(ReplayTest, FirstFrameAfterASeekAndFramesAtOtherRatesShowTheVideosPicture) {
    const std::vector<int> times = {4150, 8200, 16000, 30750, 50000};
    std::map<int, std::vector<std::uint8_t>> video;
    {
        // Frame n at n * 1000 / 60 ms, as vantor-capture draws them.
        PlayedDemo reference(context());
        for (long long n = 0; video.size() < times.size(); ++n) {
            const int t = static_cast<int>(n * 1000 / 60);
            auto picture = reference.draw(t);
            for (int wanted : times)
                if (wanted == t) video[t] = std::move(picture);
        }
    }
    // The flash is still bright: a replay that set it to full strength and
    // let no frame decay it, or one that decayed it in one step, shows.
    EXPECT_GT(meanLevel(video[30750]), meanLevel(video[16000]) + 20);

    {
        // Forward from DEMOSTART in one frame, and back from later on.
        PlayedDemo seeking(context());
        seeking.draw(60000);
        for (int t : times) {
            seeking.restartAt(t);
            EXPECT_LE(meanDifference(seeking.draw(t), video[t]), 2.0) << "seek back to " << t;
        }
        PlayedDemo forward(context());
        EXPECT_LE(meanDifference(forward.draw(30750), video[30750]), 2.0) << "seek forward to 30750";
    }

    // Drawn at 30 and 240 a second through the wipe, the card's glide and
    // the flash: the same pictures at the same music times.
    for (int fps : {30, 240}) {
        PlayedDemo other(context());
        other.draw(3000);
        EXPECT_LE(meanDifference(other.play(3000, 4150, fps), video[4150]), 2.0) << fps << " fps, 4150";
        EXPECT_LE(meanDifference(other.play(4150, 8200, fps), video[8200]), 2.0) << fps << " fps, 8200";
        other.draw(30000);
        EXPECT_LE(meanDifference(other.play(30000, 30750, fps), video[30750]), 2.0) << fps << " fps, 30750";
    }
}

}  // namespace
}  // namespace vantor::test
