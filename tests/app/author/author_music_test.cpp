// Author mode's music: the silent clock without a sound device, and the
// reading that never passes the show's end.
#include "app/author/author_music.h"
#include "app/music_clock.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

// A sound side that may refuse to start; it plays a virtual clock.
class FakeSound : public DemoMusic {
public:
    explicit FakeSound(bool starts) : starts_(starts) {}
    bool initSound() override { return ready_ = starts_; }
    bool openMusic(const char*) override { return true; }
    void closeMusic() override { ready_ = false; }
    bool soundReady() const override { return ready_; }
    int musicTime() override { return clock.musicTime(); }
    void seekMusic(int ms) override { clock.seekMusic(ms); }
    void playMusic() override { clock.playMusic(); }
    void pauseMusic() override { clock.pauseMusic(); }
    bool musicPaused() const override { return clock.musicPaused(); }
    std::int64_t musicLength() const override { return 5000; }
    VirtualClock clock;

private:
    bool starts_;
    bool ready_ = false;
};

const std::string kTone = std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3";

TEST(AuthorMusic, WithoutSoundTheClockRunsOnTheWallSeeksAndPauses) {
    FakeSound sound(false);
    std::int64_t wall = 1000;
    std::vector<std::string> warnings;
    AuthorMusic music(
        sound, [&] { return wall; }, [&](const std::string& w) { warnings.push_back(w); });
    ASSERT_TRUE(music.initSound());
    EXPECT_TRUE(music.silent());
    EXPECT_TRUE(music.soundReady());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("silent clock"), std::string::npos);

    ASSERT_TRUE(music.openMusic(kTone.c_str()));
    const std::int64_t length = music.musicLength();
    EXPECT_GT(length, 0);
    EXPECT_TRUE(music.musicPaused());
    EXPECT_EQ(music.musicTime(), 0);

    // Playing: the position follows the wall clock.
    music.seekMusic(200);
    music.playMusic();
    wall += 300;
    EXPECT_EQ(music.musicTime(), 500);
    music.playMusic();  // again while playing: no jump
    wall += 100;
    EXPECT_EQ(music.musicTime(), 600);
    // A seek while playing goes on from there.
    music.seekMusic(50);
    wall += 10;
    EXPECT_EQ(music.musicTime(), 60);

    // Paused: it stands still, a seek moves it and it stays paused.
    music.pauseMusic();
    wall += 1000;
    EXPECT_EQ(music.musicTime(), 60);
    music.seekMusic(900);
    wall += 1000;
    EXPECT_EQ(music.musicTime(), 900);
    EXPECT_TRUE(music.musicPaused());
    music.playMusic();
    wall += 40;
    EXPECT_EQ(music.musicTime(), 940);

    // A soundtrack that does not decode is refused and the old one's length stays.
    TempDir dir;
    const std::string garbage = dir.file("soundtrack.mp3");
    std::ofstream(garbage) << "not a soundtrack at all";
    EXPECT_FALSE(music.openMusic(garbage.c_str()));
    EXPECT_EQ(music.musicLength(), length);
    EXPECT_EQ(warnings.size(), 1u);
    // The real sound side was never asked to play.
    EXPECT_TRUE(sound.clock.musicPaused());
}

TEST(AuthorMusic, WithSoundItPlaysThePlayerAndNeverReadsPastTheShowsEnd) {
    FakeSound sound(true);
    std::int64_t wall = 0;
    int warnings = 0;
    AuthorMusic music(
        sound, [&] { return wall; }, [&](const std::string&) { ++warnings; });
    ASSERT_TRUE(music.initSound());
    EXPECT_FALSE(music.silent());
    EXPECT_EQ(warnings, 0);
    EXPECT_EQ(music.musicLength(), 5000);
    music.playMusic();
    sound.clock.advance(1234);
    EXPECT_EQ(music.musicTime(), 1234);

    // Once the end is known the reading stops at its last millisecond, while
    // the player runs on past it.
    int end = 3000;
    music.setShowEnd([&] { return end; });
    sound.clock.advance(5000);
    EXPECT_EQ(music.musicTime(), 2999);
    end = 8000;  // a save moved the end on
    EXPECT_EQ(music.musicTime(), 6234);
    end = 0;  // nothing to show: never negative
    EXPECT_EQ(music.musicTime(), 0);
}

}  // namespace
}  // namespace vantor::test
