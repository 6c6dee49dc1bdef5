// The soundtrack: exact decoding and seeking, and the clock built on the
// samples the sound output consumed (dummy SDL driver, real time).
#include "runtime/fatal_error.h"
#include "app/music_player.h"
#include "platform/mp3_decoder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantor::test {
namespace {

using platform::Mp3Decoder;
using Clock = std::chrono::steady_clock;

struct Tone {
    const char* name;
    int rate;
    int channels;
    int seconds;
    std::string mp3() const { return std::string(VANTOR_TEST_AUDIO_DIR) + "/" + name + ".mp3"; }
    std::string raw() const { return std::string(VANTOR_TEST_AUDIO_DIR) + "/" + name + ".raw"; }
    std::int64_t frames() const { return static_cast<std::int64_t>(rate) * seconds; }
};
const Tone kTones[] = {{"tone44100", 44100, 2, 12}, {"tone48000", 48000, 1, 6}, {"tone22050", 22050, 2, 6}};

std::vector<std::int16_t> decodeAll(Mp3Decoder& decoder) {
    std::vector<std::int16_t> samples;
    std::int16_t block[2 * 4096];
    while (std::size_t got = decoder.readFrames(block, 4096)) samples.insert(samples.end(), block, block + 2 * got);
    return samples;
}

// The source sweep, as interleaved stereo (a mono source on both channels).
std::vector<std::int16_t> sourceStereo(const Tone& tone) {
    const std::string bytes = readFile(tone.raw());
    std::vector<std::int16_t> stereo;
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        stereo.push_back(sample);
        if (tone.channels == 1) stereo.push_back(sample);
    }
    return stereo;
}

TEST(Mp3Decoder, DecodesGaplesslyToTheEncodedLengthAndAlignment) {
    for (const Tone& tone : kTones) {
        SCOPED_TRACE(tone.name);
        Mp3Decoder decoder;
        ASSERT_TRUE(decoder.open(tone.mp3()));
        EXPECT_EQ(decoder.rate(), tone.rate);
        EXPECT_EQ(decoder.lengthFrames(), tone.frames());
        const auto decoded = decodeAll(decoder);
        ASSERT_EQ(static_cast<std::int64_t>(decoded.size()), 2 * tone.frames());

        // Without encoder delay the decoded sweep lies on the source sweep: a
        // shift of even a few samples would make the error as large as the signal.
        const auto source = sourceStereo(tone);
        ASSERT_EQ(source.size(), decoded.size());
        double error = 0, signal = 0;
        for (std::size_t i = 0; i < source.size(); ++i) {
            error += std::pow(double(decoded[i]) - source[i], 2);
            signal += std::pow(double(source[i]), 2);
        }
        EXPECT_LT(error / signal, 0.01);
    }
}

TEST(Mp3Decoder, SeeksToTheExactSample) {
    for (const Tone& tone : kTones) {
        SCOPED_TRACE(tone.name);
        Mp3Decoder decoder;
        ASSERT_TRUE(decoder.open(tone.mp3()));
        const auto whole = decodeAll(decoder);
        for (std::int64_t frame : {std::int64_t{0}, std::int64_t{1}, std::int64_t{1151}, std::int64_t{12345},
                                   tone.frames() / 2 + 7, tone.frames() - 300}) {
            ASSERT_TRUE(decoder.seekFrame(frame));
            EXPECT_EQ(decoder.positionFrames(), frame);
            std::vector<std::int16_t> part(2 * 256);
            ASSERT_EQ(decoder.readFrames(part.data(), 256), 256u) << frame;
            int worst = 0;
            for (std::size_t i = 0; i < part.size(); ++i)
                worst = std::max(worst, std::abs(part[i] - whole[2 * frame + i]));
            EXPECT_LE(worst, 1) << "at frame " << frame;
        }
        // Past the end: at the end, nothing more to read.
        ASSERT_TRUE(decoder.seekFrame(tone.frames() + 100000));
        std::int16_t block[64];
        EXPECT_EQ(decoder.readFrames(block, 32), 0u);
    }
}

TEST(Mp3Decoder, RefusesWhatIsNoMp3AndEndsTruncatedFiles) {
    TempDir dir;
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.open(dir.file("missing.mp3")));
    EXPECT_FALSE(decoder.open(dir.write("empty.mp3", "")));
    EXPECT_FALSE(decoder.open(dir.write("text.mp3", std::string(20000, 'a'))));

    // Random bytes: whatever mpg123 makes of them, it must end.
    std::string noise(64 * 1024, '\0');
    unsigned state = 12345;
    for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    if (decoder.open(dir.write("noise.mp3", noise))) decodeAll(decoder);

    const std::string whole = readFile(kTones[0].mp3());
    ASSERT_TRUE(decoder.open(dir.write("cut.mp3", whole.substr(0, whole.size() * 2 / 5))));
    const auto decoded = decodeAll(decoder);
    EXPECT_GT(decoded.size(), 0u);
    EXPECT_LT(decoded.size(), static_cast<std::size_t>(2 * kTones[0].frames()));
}

TEST(MusicPlayer, ClockIsExactAfterSeekingAndStandsStillUntilPlayed) {
    for (const Tone& tone : kTones) {
        SCOPED_TRACE(tone.name);
        MusicPlayer player;
        ASSERT_TRUE(player.initSound());
        ASSERT_TRUE(player.openMusic(tone.mp3().c_str()));
        EXPECT_EQ(player.rate(), tone.rate);
        EXPECT_EQ(player.musicTime(), 0);
        for (int ms : {1001, 3, 4999, 0, 2500}) {
            player.seekMusic(ms);
            EXPECT_EQ(player.musicTime(), ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(player.musicTime(), 2500) << "not yet played";
        player.closeMusic();
        EXPECT_FALSE(player.soundReady());
    }
}

TEST(MusicPlayer, ClockRunsAtRealSpeedForEveryRateAndNeverGoesBack) {
    // Measured against the frames the output itself has taken, not the wall
    // clock: on a loaded machine the output thread runs late, and the clock
    // must follow the sound, not the wall.
    for (const Tone& tone : kTones) {
        SCOPED_TRACE(tone.name);
        MusicPlayer player;
        ASSERT_TRUE(player.initSound());
        ASSERT_TRUE(player.openMusic(tone.mp3().c_str()));
        player.seekMusic(1000);
        player.playMusic();
        const int first = player.musicTime();
        EXPECT_EQ(first, 1000);
        // Play until the output has taken 800 ms of the file (or give up
        // after 20 s), sampling the clock all the while.
        const std::int64_t wanted = tone.rate * 8 / 10;
        const auto started = Clock::now();
        const auto giveUp = started + std::chrono::seconds(20);
        int last = first;
        int betweenBlocks = 0;  // moves of the clock while no block was taken
        std::int64_t takenBefore = player.framesTaken();
        while (takenBefore < wanted && Clock::now() < giveUp) {
            const int now = player.musicTime();
            const std::int64_t takenAfter = player.framesTaken();
            EXPECT_GE(now, last) << "the clock went backwards";
            if (now != last && takenAfter == takenBefore) ++betweenBlocks;
            last = now;
            takenBefore = takenAfter;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const int moved = player.musicTime() - first;
        const std::int64_t taken = player.framesTaken();
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
        ASSERT_GE(taken, wanted) << "the output did not play";
        // The clock stands inside the block taken last: at most the frames
        // taken, at least those minus one block (at most 46 ms of sound).
        const std::int64_t takenMs = taken * 1000 / tone.rate;
        EXPECT_LE(moved, takenMs + 1) << "taken " << taken << " frames at " << tone.rate;
        EXPECT_GE(moved, takenMs - 50) << "taken " << taken << " frames at " << tone.rate;
        // A late output only slows the clock down; it never runs ahead of
        // real time (one block of 46 ms may be taken ahead).
        EXPECT_LE(moved, wall + 60) << "moved " << moved << " ms in " << wall << " ms";
        // Between the output's blocks the clock still moves.
        EXPECT_GT(betweenBlocks, 10) << "the clock moves in block steps";

        // A seek while playing is exact again, also backwards.
        player.seekMusic(500);
        const int afterSeek = player.musicTime();
        EXPECT_GE(afterSeek, 500);
        EXPECT_LT(afterSeek, 600);
    }
}

// What the output takes, block by block, as the monitor sees it.
class PlayedBlocks {
public:
    void attach(MusicPlayer& player) {
        player.setMonitor([this](const std::int16_t* frames, std::size_t count) {
            std::lock_guard<std::mutex> lock(mutex_);
            blocks_.emplace_back(frames, frames + 2 * count);
        });
    }
    std::size_t count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return blocks_.size();
    }
    std::vector<std::int16_t> block(std::size_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        return index < blocks_.size() ? blocks_[index] : std::vector<std::int16_t>();
    }
    // The samples of the blocks from `first` on, once they hold `frames`
    // frames (or what there is after 20 s).
    std::vector<std::int16_t> from(std::size_t first, std::size_t frames) {
        const auto giveUp = Clock::now() + std::chrono::seconds(20);
        for (;;) {
            std::vector<std::int16_t> out;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (std::size_t i = first; i < blocks_.size(); ++i)
                    out.insert(out.end(), blocks_[i].begin(), blocks_[i].end());
            }
            if (out.size() >= 2 * frames || Clock::now() > giveUp) return out;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::vector<std::int16_t>> blocks_;
};

// The largest difference between `played` (its first `frames` frames) and the
// whole decode from `frame` on; 65536 when either is too short.
int differenceFrom(const std::vector<std::int16_t>& played, const std::vector<std::int16_t>& whole, std::int64_t frame,
                   std::size_t frames) {
    if (frame < 0 || played.size() < 2 * frames || whole.size() < 2 * (frame + frames)) return 65536;
    int worst = 0;
    for (std::size_t i = 0; i < 2 * frames; ++i) worst = std::max(worst, std::abs(played[i] - whole[2 * frame + i]));
    return worst;
}

TEST(MusicPlayer, SeekAndPauseAreExactToTheSample) {
    const Tone& tone = kTones[0];
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(tone.mp3()));
    const auto whole = decodeAll(decoder);

    MusicPlayer player;
    PlayedBlocks played;
    ASSERT_TRUE(player.initSound());
    ASSERT_TRUE(player.openMusic(tone.mp3().c_str()));
    played.attach(player);
    EXPECT_TRUE(player.musicPaused());

    // A seek while paused, then play: the first sample out is the first one at
    // or after 2345 ms of the whole decode.
    player.seekMusic(2345);
    const std::int64_t atSeek = (std::int64_t{2345} * tone.rate + 999) / 1000;
    EXPECT_EQ(player.positionFrames(), atSeek);
    EXPECT_EQ(player.musicTime(), 2345);
    player.playMusic();
    EXPECT_FALSE(player.musicPaused());
    EXPECT_LE(differenceFrom(played.from(0, 8192), whole, atSeek, 8192), 1);

    // Pause: nothing more goes out, the clock stands still, and play goes on
    // with the sample the clock stood on.
    player.pauseMusic();
    EXPECT_TRUE(player.musicPaused());
    const std::int64_t atPause = player.positionFrames();
    const int pausedMs = player.musicTime();
    EXPECT_EQ(pausedMs, atPause * 1000 / tone.rate);
    EXPECT_GE(atPause, atSeek + 8192 - 2 * 1024) << "the clock follows what went out";
    const std::size_t blocksAtPause = played.count();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(player.musicTime(), pausedMs);
    EXPECT_EQ(played.count(), blocksAtPause);
    player.pauseMusic();  // a second pause changes nothing
    EXPECT_EQ(player.positionFrames(), atPause);
    player.playMusic();
    EXPECT_LE(differenceFrom(played.from(blocksAtPause, 4096), whole, atPause, 4096), 1);

    // A seek while playing, backwards: from some block on, the output plays
    // from the sample at 500 ms; every block before it still came from before.
    const std::size_t blocksAtSeek = played.count();
    player.seekMusic(500);
    const std::int64_t at500 = (std::int64_t{500} * tone.rate + 999) / 1000;
    played.from(blocksAtSeek, 8192);
    std::size_t first = blocksAtSeek;
    while (first < played.count() && differenceFrom(played.block(first), whole, at500, 256) > 1) ++first;
    ASSERT_LT(first, played.count()) << "no block started at the seek position";
    EXPECT_LE(first, blocksAtSeek + 1) << "the seek reached the output late";
    EXPECT_LE(differenceFrom(played.from(first, 4096), whole, at500, 4096), 1);
    player.closeMusic();
}

TEST(MusicPlayer, ClockRunsOnPastTheEndOfAShortSoundtrack) {
    MusicPlayer player;
    ASSERT_TRUE(player.initSound());
    ASSERT_TRUE(player.openMusic(kTones[1].mp3().c_str()));
    EXPECT_NEAR(player.musicLength(), 6000, 1) << "the length the frame loop ends a show without DEMOEND at";
    player.seekMusic(239900);  // far beyond the 6 s file
    EXPECT_EQ(player.musicTime(), 239900);
    player.playMusic();
    // However late the output runs, the clock gets past the end (20 s is only
    // the limit for a clock that stopped).
    const auto giveUp = Clock::now() + std::chrono::seconds(20);
    while (player.musicTime() < 240000 && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(player.musicTime(), 240000) << "the demo still reaches its end";
}

TEST(MusicPlayer, ReportsFilesItCannotPlay) {
    TempDir dir;
    MusicPlayer player;
    ASSERT_TRUE(player.initSound());
    EXPECT_FALSE(player.openMusic(dir.file("soundtrack.mp3").c_str()));
    EXPECT_FALSE(player.openMusic(dir.write("soundtrack.mp3", "not music at all").c_str()));

    ScopedFatalErrorCapture capture;
    try {
        player.playMusic();
        FAIL() << "played without a stream";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "could not play stream");
    }
}

// A file that does not open leaves the soundtrack that plays as it was.
TEST(MusicPlayer, AFileThatDoesNotOpenKeepsTheSoundtrackPlaying) {
    TempDir dir;
    MusicPlayer player;
    ASSERT_TRUE(player.initSound());
    ASSERT_TRUE(player.openMusic(kTones[1].mp3().c_str()));
    const std::int64_t length = player.musicLength();
    player.seekMusic(2000);
    player.playMusic();
    EXPECT_FALSE(player.openMusic(dir.write("soundtrack.mp3", "ID3 and nothing else").c_str()));
    EXPECT_FALSE(player.openMusic(dir.file("missing.mp3").c_str()));
    EXPECT_FALSE(player.musicPaused());
    EXPECT_EQ(player.rate(), 48000);
    EXPECT_EQ(player.musicLength(), length);
    EXPECT_GE(player.musicTime(), 2000);
    player.playMusic();  // still something to play: no fatal end
    player.pauseMusic();
}

TEST(MusicPlayer, FatalErrorSilencesTheSoundFirst) {
    MusicPlayer player;
    ASSERT_TRUE(player.initSound());
    ASSERT_TRUE(player.openMusic(kTones[0].mp3().c_str()));
    player.playMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    {
        ScopedFatalErrorCapture capture;
        EXPECT_THROW(fatalError("script: event not recognized in timeline line #", 4), FatalError);
    }
    // The output is closed: nothing is consumed any more.
    const int stopped = player.musicTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(player.musicTime(), stopped);
}

TEST(MusicPlayer, InitSoundFailsWhereNoDeviceCanBeOpened) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        MusicPlayer player;
        EXPECT_FALSE(player.initSound());
        EXPECT_FALSE(player.soundReady());
    }
    if (previous)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
}  // namespace vantor::test
