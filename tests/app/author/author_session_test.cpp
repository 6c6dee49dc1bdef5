// Author mode on the shipped show: the build's archive under a data folder
// that the tests edit, the demo's real effects in the offscreen context, the
// music on a virtual clock, and the folder's changes told by a fake watcher
// with a fake wall clock, so every reload happens exactly when a test says.
#include "app/author/author_keys.h"
#include "app/author/author_session.h"
#include "app/author/overlay_text.h"
#include "app/demo.h"
#include "runtime/fatal_error.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "runtime/startup_files.h"
#include "app/windowless_messages.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "platform/virtual_keys.h"
#include "scene/scene_error.h"
#include "tests/app/recording_effect.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

// Reports what a test says changed, when asked.
class FakeWatcher : public platform::FolderWatcher {
public:
    std::vector<std::string> takeChanges() override {
        std::vector<std::string> out;
        out.swap(pending);
        return out;
    }
    std::vector<std::string> pending;
};

constexpr int kSpare = 3;  // an id the demo leaves empty: a recording effect sits there

// Two setup signals (one appends a picture to the loading screen), and a
// timeline whose events before 5000 the reload must replay.
const char* const kScript =
    "DEMOSTART 0\n"
    "SETUP\n"
    "0 SIGNAL 3 7 first\n"
    "0 SIGNAL 1 31 kake2.jpg\n"
    "TIMELINE\n"
    "1000 INIT 3\n"
    "1000 START 3\n"
    "2000 SIGNAL 3 8 2\n"
    "4000 SIGNAL 3 9 later\n"
    "9000 END 3\n"
    "LINETIME\n";

class AuthorSessionTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        folder.write("data/script.scr", kScript);
        files = kDemoFiles;
        archive = std::string(VANTOR_DEMO_DIR) + "/vantor.ppd";
        soundtrack = std::string(VANTOR_TEST_AUDIO_DIR) + "/tone44100.mp3";
        files.archive = archive.c_str();
        files.soundtrack = soundtrack.c_str();
        folderName = folder.path().string();
        files.dataFolder = folderName.c_str();
        target = std::make_unique<OffscreenTarget>(context());
        demo = std::make_unique<Demo>(*target, table, files, music, messages, Demo::BuildErrors::Keep);
        table.set(kSpare, &recorder);
        auto fake = std::make_unique<FakeWatcher>();
        watcher = fake.get();
        session = std::make_unique<AuthorSession>(
            *demo, AuthorSession::Files{folderName, files.script, soundtrack}, std::move(fake),
            [this] { return wallMs; }, [this](const std::string& text) { reports.push_back(text); });
        session->setFindingsReport([this](const std::vector<std::string>& found) { findingsReports.push_back(found); });
        session->start();
    }
    void TearDown() override {
        session.reset();
        demo.reset();
        table.clear();
        ppd_set_folder(nullptr);
        ppd_clear_archive();
    }

    // A save the watcher tells about; the saves settle a quiet spell later.
    void save(const std::string& path, const std::string& bytes) {
        folder.write(path, bytes);
        watcher->pending.push_back(path);
    }
    // Passes until the saves have settled and one more frame was drawn.
    void settle() {
        session->pass();
        wallMs += 150;
        session->pass();
        session->pass();
    }
    // The calls the recording effect got since the last look.
    CallLog takeLog() {
        CallLog out;
        for (const std::string& entry : log)
            if (entry.rfind("rec run", 0) != 0 && entry.rfind("rec prepare", 0) != 0 && entry != "rec post")
                out.push_back(entry);
        log.clear();
        return out;
    }
    ImageSequenceEffect& loadingScreen() { return demo->effects().loadingScreen; }

    TempDir folder;
    StartupFiles files;
    std::string archive, soundtrack, folderName;
    std::unique_ptr<OffscreenTarget> target;
    OfflineMusic music;
    WindowlessMessages messages;
    EffectTable table;
    ScopedFatalErrorCapture fatalErrors;
    ScopedSceneErrorCapture sceneErrors;
    std::unique_ptr<Demo> demo;
    CallLog log;
    RecordingEffect recorder{"rec", log};
    FakeWatcher* watcher = nullptr;
    std::int64_t wallMs = 0;
    std::vector<std::string> reports;
    std::vector<std::vector<std::string>> findingsReports;
    std::unique_ptr<AuthorSession> session;
};

// A save replays the script up to the music's position in one pass, in file
// order, once; the music is not moved; setup signals reach fresh effects, so a
// picture appended by a setup signal is there once however often one saves.
TEST_F(AuthorSessionTest, ReloadKeepsThePlayheadAndReplaysEarlierEventsOnce) {
    ASSERT_TRUE(demo->effectsBuilt()) << demo->effectsError();
    music.clock().set(5000);
    session->pass();
    EXPECT_EQ(loadingScreen().images.size(), 7u);
    takeLog();

    auto scriptWith = [](const std::string& value) {
        std::string text = kScript;
        text.replace(text.find("9 later"), 7, "9 " + value);
        return text;
    };
    for (int i = 0; i < 3; ++i) {
        // An event before the playhead changed.
        const std::string value = "edit" + std::to_string(i);
        save("data/script.scr", scriptWith(value));
        settle();
        EXPECT_EQ(music.musicTime(), 5000);
        EXPECT_EQ(takeLog(), (CallLog{"rec stop", "rec signal 7:first", "rec init 0", "rec init 1000", "rec start",
                                      "rec signal 8:2", "rec signal 9:" + value}));
        EXPECT_EQ(loadingScreen().images.size(), 7u);
    }
    EXPECT_EQ(session->reloads(), 3);
    EXPECT_TRUE(session->error().empty());

    // Changed only after the playhead: the effects already stand where the
    // new script would have brought them, so nothing is replayed.
    const ImageSequenceEffect* built = &loadingScreen();
    save("data/script.scr", scriptWith("edit2") + "// a comment\n");
    settle();
    std::string later = scriptWith("edit2");
    later.replace(later.find("9000 END"), 4, "8000");
    save("data/script.scr", later);
    settle();
    EXPECT_EQ(session->reloads(), 5);
    EXPECT_EQ(&loadingScreen(), built);
    EXPECT_EQ(takeLog(), CallLog{});
    EXPECT_EQ(demo->loop().script()->timelineEvents().back().time, 8000);
    music.clock().set(8000);
    session->pass();
    EXPECT_EQ(takeLog(), CallLog{"rec stop"});
    music.clock().set(5000);
    session->pass();

    // Ten saves in half a second are one reload, after the last.
    for (int i = 0; i < 10; ++i) {
        save("data/script.scr", kScript);
        session->pass();
        wallMs += ChangeSettler::kQuietMs - 10;
    }
    EXPECT_EQ(session->reloads(), 5);
    settle();
    EXPECT_EQ(session->reloads(), 6);

    // Files the demo does not read change nothing.
    save("notes.txt", "x");
    save("data/images/.rotule.pcx.swp", "x");
    settle();
    EXPECT_EQ(session->reloads(), 6);
}

// A broken save keeps the last good state playing and names FILE:LINE; the
// next good save clears the error. Garbage, an empty script, a folder in the
// script's place and a deleted script never end the session.
TEST_F(AuthorSessionTest, BrokenScriptsKeepTheLastGoodOne) {
    music.clock().set(5000);
    session->pass();
    const Script* good = demo->loop().script();
    ASSERT_NE(good, nullptr);

    save("data/script.scr", "SETUP\nTIMELINE\n1000 START 3\n1500 JUMP 3\nLINETIME\n");
    settle();
    EXPECT_EQ(demo->loop().script(), good);
    ASSERT_FALSE(reports.empty());
    const std::string scriptFile = folder.file("data/script.scr");
    EXPECT_EQ(reports.back(), scriptFile + ":4: script: event not recognized in timeline line # 2 at `JUMP`");
    EXPECT_EQ(session->error(), reports.back());
    const auto drawn = demo->loop().framesDrawn();
    session->pass();
    EXPECT_GT(demo->loop().framesDrawn(), drawn);

    save("data/script.scr", "SETUP\nTIMELINE\n\x81\x82 \xfe\xff garbage\x7f\n\x01\x02");
    settle();
    EXPECT_FALSE(session->error().empty());
    EXPECT_EQ(demo->loop().script(), good);

    save("data/script.scr", kScript);
    settle();
    EXPECT_EQ(session->error(), "");
    EXPECT_EQ(reports.back(), "");

    // An empty script is a script without events.
    save("data/script.scr", "");
    settle();
    EXPECT_EQ(session->error(), "");
    EXPECT_TRUE(demo->loop().script()->timelineEvents().empty());

    // A folder where the script was, then no script at all: the archive's.
    fs::remove(folder.file("data/script.scr"));
    fs::create_directories(folder.file("data/script.scr"));
    watcher->pending.push_back("data/script.scr");
    settle();
    EXPECT_EQ(session->error(), "");
    EXPECT_FALSE(demo->loop().script()->timelineEvents().empty());
    fs::remove(folder.file("data/script.scr"));
    save("data/script.scr", kScript);
    settle();
    EXPECT_EQ(demo->loop().script()->timelineEvents().size(), 5u);
}

// Pictures and scenes: a broken file keeps the old effects (and says why); a
// good one replaces them, also at another size and depth, and no picture of
// an earlier save stays once the saves settle.
TEST_F(AuthorSessionTest, PicturesAndScenesReloadOrKeepTheLastGoodEffects) {
    music.clock().set(5000);
    session->pass();
    ImageSequenceEffect* before = &demo->effects().picture;

    save("data/images/rotule.pcx", "not a picture at all");
    settle();
    // The demo's message and the reader's reason.
    EXPECT_EQ(session->error(),
              folder.file("data/images/rotule.pcx") + ": could not load image (PCX: Cannot read header)");
    EXPECT_EQ(&demo->effects().picture, before);
    EXPECT_EQ(table.get(DemoEffects::kPictureId), before);

    // A half-written file, then the whole one: only the settled one is read.
    kpximage* picture = kpx_create(64, 32, 8, 256);
    ASSERT_NE(picture, nullptr);
    for (int i = 0; i < 64 * 32; ++i) picture->image[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 256 * 3; ++i) picture->palette[i] = static_cast<unsigned char>(i / 3);
    const std::string path = folder.file("data/images/rotule.pcx");
    ASSERT_EQ(kpx_save_pcx(path.c_str(), picture), 1);
    kpx_free(picture);
    const std::string whole = readFile(path);
    save("data/images/rotule.pcx", whole.substr(0, whole.size() / 3));
    session->pass();
    wallMs += 40;
    save("data/images/rotule.pcx", whole);
    settle();
    EXPECT_EQ(session->error(), "");
    const kpximage* shown = demo->effects().picture.current;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 64);
    EXPECT_EQ(shown->height, 32);
    EXPECT_EQ(table.get(DemoEffects::kPictureId), &demo->effects().picture);
    // The effects outside the demo's rows stay in the table.
    EXPECT_EQ(table.get(kSpare), &recorder);

    save("data/arm.ppp", "PPP but broken");
    settle();
    EXPECT_EQ(session->error().rfind(folder.file("data/arm.ppp") + ": ", 0), 0u) << session->error();
    EXPECT_EQ(session->error().find('\n'), std::string::npos);
    // Another scene's objects under the same name: built and drawn.
    ppd_file* other = ppd_open("data/boost.ppp");
    ASSERT_NE(other, nullptr);
    save("data/arm.ppp", std::string(reinterpret_cast<char*>(other->data), other->size));
    ppd_close(other);
    settle();
    EXPECT_EQ(session->error(), "");
}

// A soundtrack saved into the folder is played from where the music stood; a
// broken one is reported and the shipped one plays on.
TEST_F(AuthorSessionTest, ASavedSoundtrackPlaysOnFromTheSameTime) {
    music.clock().set(3000);
    session->pass();
    save("soundtrack.mp3", readFile(std::string(VANTOR_TEST_AUDIO_DIR) + "/tone48000.mp3"));
    settle();
    EXPECT_EQ(session->error(), "");
    EXPECT_EQ(music.musicTime(), 3000);
    EXPECT_EQ(music.lengthMs(), 6000);
    save("soundtrack.mp3", "ID3 and nothing else");
    settle();
    EXPECT_NE(session->error().find("could not set up music"), std::string::npos);
    // A broken replacement keeps the soundtrack that played, not the shipped one.
    EXPECT_EQ(music.musicTime(), 3000);
    EXPECT_EQ(music.lengthMs(), 6000);
    fs::remove(folder.file("soundtrack.mp3"));
    watcher->pending.push_back("soundtrack.mp3");
    settle();
    EXPECT_EQ(session->error(), "");
}

// Seeking back builds the effects anew and replays the timeline up to the new
// position; forward, the events in between follow in the next frame.
TEST_F(AuthorSessionTest, SeeksReplayTheTimelineToTheNewPosition) {
    music.clock().set(5000);
    session->pass();
    takeLog();
    session->seek(1500);
    session->pass();
    EXPECT_EQ(music.musicTime(), 1500);
    EXPECT_EQ(takeLog(), (CallLog{"rec stop", "rec signal 7:first", "rec init 0", "rec init 1000", "rec start"}));
    EXPECT_EQ(loadingScreen().images.size(), 7u);
    session->seek(4500);
    session->pass();
    EXPECT_EQ(takeLog(), (CallLog{"rec signal 8:2", "rec signal 9:later"}));

    // A loop plays its range over and over.
    EXPECT_FALSE(session->setLoop(3000, 2000));
    EXPECT_FALSE(session->setLoop(1000, 250000));
    EXPECT_EQ(music.musicTime(), 4500);
    ASSERT_TRUE(session->setLoop(2000, 3000));
    EXPECT_EQ(music.musicTime(), 2000);
    music.clock().set(3000);
    session->pass();
    EXPECT_EQ(music.musicTime(), 2000);
    session->clearLoop();
    music.clock().set(3500);
    session->pass();
    EXPECT_EQ(music.musicTime(), 3500);
}

// Every path that builds afresh keeps the last good state whole when the new
// one fails: a seek back and a loop wrap while a picture is broken restart the
// playing effects (without their setup signals again), and a script whose
// setup names a picture that is not there leaves the old effects and the old
// script where they stood.
TEST_F(AuthorSessionTest, FailedRebuildsLeaveTheLastGoodStateWhole) {
    music.clock().set(5000);
    session->pass();
    ImageSequenceEffect* playing = &demo->effects().picture;
    save("data/images/rotule.pcx", "not a picture at all");
    settle();
    ASSERT_FALSE(session->error().empty());
    takeLog();

    session->seek(1500);
    session->pass();
    EXPECT_EQ(music.musicTime(), 1500);
    EXPECT_EQ(&demo->effects().picture, playing);
    EXPECT_EQ(takeLog(), (CallLog{"rec stop", "rec init 0", "rec init 1000", "rec start"}));
    EXPECT_EQ(loadingScreen().images.size(), 7u);
    EXPECT_NE(session->error().find("rotule.pcx"), std::string::npos);

    ASSERT_TRUE(session->setLoop(1000, 2000));
    music.clock().set(2100);
    session->pass();
    EXPECT_EQ(music.musicTime(), 1100);
    EXPECT_EQ(&demo->effects().picture, playing);
    session->clearLoop();

    // The picture mended, then a script whose setup needs one that is missing.
    fs::remove(folder.file("data/images/rotule.pcx"));
    watcher->pending.push_back("data/images/rotule.pcx");
    settle();
    EXPECT_EQ(session->error(), "");
    music.clock().set(5000);
    session->pass();
    const std::size_t dispatched = demo->loop().nextEvent();
    playing = &demo->effects().picture;
    recorder.onSignal = [](const SignalValue& value) {
        if (value.isString && value.text == "nowhere.jpg") fatalError("could not load image nowhere.jpg");
    };
    takeLog();
    std::string missing = kScript;
    missing.replace(missing.find("7 first"), 7, "7 nowhere.jpg");
    save("data/script.scr", missing);
    settle();
    EXPECT_NE(session->error().find("nowhere.jpg"), std::string::npos) << session->error();
    EXPECT_EQ(demo->loop().script()->setupEvents()[0].value.text, "first");
    EXPECT_EQ(demo->loop().nextEvent(), dispatched);
    EXPECT_EQ(&demo->effects().picture, playing);
    // Nothing is dispatched again into the effects that stay.
    EXPECT_EQ(takeLog(), (CallLog{"rec stop", "rec signal 7:nowhere.jpg"}));
}

// The transport keys move the music on the script's grid (here 120 beats a
// minute, four a bar) and the timeline follows; Space pauses and plays.
TEST_F(AuthorSessionTest, TransportKeysMoveTheMusicAndTheTimelineFollows) {
    namespace vk = platform::vk;
    auto press = [&](int key, bool shift = false) {
        const AuthorKeyPress p = authorKeyPress(key, shift, false);
        ASSERT_EQ(p.kind, AuthorKey::Transport);
        session->press(p.transport);
        session->pass();
    };
    music.clock().set(5000);
    session->pass();
    press(vk::Right);
    EXPECT_EQ(music.musicTime(), 5500);
    // A bar on lands on the bar line nearest to it.
    press(vk::Right, true);
    EXPECT_EQ(music.musicTime(), 8000);
    takeLog();
    press(vk::Left, true);
    EXPECT_EQ(music.musicTime(), 6000);
    EXPECT_EQ(takeLog(), (CallLog{"rec stop", "rec signal 7:first", "rec init 0", "rec init 1000", "rec start",
                                  "rec signal 8:2", "rec signal 9:later"}));
    press(vk::Home);
    EXPECT_EQ(music.musicTime(), 0);
    press(vk::Space);
    EXPECT_TRUE(music.musicPaused());
    music.clock().advance(1000);
    EXPECT_EQ(music.musicTime(), 0);
    press(vk::Space);
    EXPECT_FALSE(music.musicPaused());
    music.clock().set(9000);
    press('L');
    ASSERT_TRUE(session->transport().loop());
    EXPECT_EQ(session->transport().loop()->start, 8000);
    // Bars 4-7 end at 16000, the show with its twelve-second soundtrack at 12000.
    EXPECT_EQ(session->transport().loop()->end, 12000);
    press('L');
    EXPECT_FALSE(session->transport().loop());

    // The demo's Control keys stay the demo's; T is the overlay's.
    EXPECT_EQ(authorKeyPress(vk::Right, false, true).kind, AuthorKey::None);
    EXPECT_EQ(authorKeyPress('T', false, false).kind, AuthorKey::ToggleOverlay);
    EXPECT_EQ(authorKeyPress(vk::Escape, false, false).kind, AuthorKey::None);
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Each read of the script reports the checker's findings once, the reader's
// warnings among them, as "FILE:LINE: warning: ..."; they stand (and show in
// the error box) until the next save, and a script with checker errors still
// plays.
TEST_F(AuthorSessionTest, CheckerFindingsStandUntilTheNextSave) {
    const std::string file = (fs::path(folderName) / "data/script.scr").string();
    ASSERT_EQ(findingsReports.size(), 1u);
    EXPECT_EQ(findingsReports[0], session->findings());

    // Line 1: a tempo the reader cannot use; line 12: an event after the end.
    std::string text = std::string("BPM fast\n") + kScript;
    text.insert(text.find("LINETIME"), "250000 SIGNAL 3 8 2\n");
    save("data/script.scr", text);
    settle();
    ASSERT_EQ(findingsReports.size(), 2u);
    // A copy: later reports grow the vector, which would leave a reference dangling.
    const std::vector<std::string> found = findingsReports[1];
    EXPECT_EQ(found, session->findings());
    auto startsWith = [&](const std::string& prefix) {
        return std::any_of(found.begin(), found.end(), [&](const std::string& f) { return f.rfind(prefix, 0) == 0; });
    };
    EXPECT_TRUE(startsWith(file + ":1: warning: ")) << ::testing::PrintToString(found);
    EXPECT_TRUE(startsWith(file + ":12: warning: ")) << ::testing::PrintToString(found);
    EXPECT_EQ(session->reloads(), 1);
    EXPECT_TRUE(session->error().empty());
    const std::string box = errorBoxText(session->error(), session->findings());
    for (const std::string& f : found) EXPECT_NE(box.find(f), std::string::npos);

    // Passes without a save report nothing again.
    session->pass();
    session->pass();
    EXPECT_EQ(findingsReports.size(), 2u);

    // The next save replaces them. Id 3 is one the start-up never registers
    // (the test's recorder sits there): a checker error, shown, yet the
    // script plays.
    save("data/script.scr", kScript);
    settle();
    ASSERT_EQ(findingsReports.size(), 3u);
    EXPECT_FALSE(hasLine(session->findings(), found[0]));
    EXPECT_TRUE(std::any_of(session->findings().begin(), session->findings().end(), [](const std::string& f) {
        return f.find(": error: ") != std::string::npos;
    })) << ::testing::PrintToString(session->findings());
    EXPECT_EQ(session->reloads(), 2);
    EXPECT_TRUE(session->error().empty());
}

// The music reaching the end of the show holds there paused instead of ending
// the session; Home and play go on from the start. Without DEMOEND the show
// ends with its twelve-second soundtrack; a saved DEMOEND moves the end.
TEST_F(AuthorSessionTest, TheEndOfTheShowHoldsPaused) {
    EXPECT_EQ(demo->loop().endTime(), 12000);
    music.clock().set(12000 - 500);
    EXPECT_TRUE(session->pass());
    music.clock().advance(800);
    EXPECT_TRUE(session->pass());
    EXPECT_TRUE(music.musicPaused());
    EXPECT_EQ(music.musicTime(), 12000 - 1);
    EXPECT_FALSE(demo->loop().quit());
    music.clock().advance(1000);
    EXPECT_TRUE(session->pass());
    EXPECT_EQ(music.musicTime(), 12000 - 1);

    session->press(TransportKey::Home);
    session->press(TransportKey::PlayPause);
    EXPECT_TRUE(session->pass());
    EXPECT_EQ(music.musicTime(), 0);
    EXPECT_FALSE(music.musicPaused());

    save("data/script.scr", std::string("DEMOEND 5000\n") + kScript);
    settle();
    EXPECT_EQ(demo->loop().endTime(), 5000);
    EXPECT_EQ(session->transport().endTime(), 5000);
    EXPECT_FALSE(session->setLoop(4000, 6000)) << "a loop past DEMOEND";
    music.clock().set(4900);
    EXPECT_TRUE(session->pass());
    music.clock().advance(300);
    EXPECT_TRUE(session->pass());
    EXPECT_TRUE(music.musicPaused());
    EXPECT_EQ(music.musicTime(), 4999);
    EXPECT_FALSE(demo->loop().quit());
}

}  // namespace
}  // namespace vantor::test
