// The pieces of author mode that need no demo: which saved paths matter, how
// saves settle, where an error's file goes, the control channel's commands and
// its line reader.
#include "app/author/change_settler.h"
#include "app/author/control_command.h"
#include "app/author/data_change.h"
#include "app/author/error_location.h"
#include "app/author/line_reader.h"
#include "platform/folder_watcher.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace vantor::test {
namespace {

TEST(AuthorDataChange, PathsTheDemoReadsAskForTheirReload) {
    EXPECT_EQ(dataChangeOf("data/script.scr"), DataChange::Script);
    EXPECT_EQ(dataChangeOf("DATA\\Script.SCR"), DataChange::Script);
    EXPECT_EQ(dataChangeOf("soundtrack.mp3"), DataChange::Soundtrack);
    for (const char* path : {"celpalette.pcx", "data/arm.ppp", "data/images/kake1.jpg", "data/images/sub/x.TGA",
                             "data/textures/stone.jpg", "data/images", "data", ""})
        EXPECT_EQ(dataChangeOf(path), DataChange::Effects) << path;
    for (const char* path : {"notes.txt", "data/script.scr~", "data/.script.scr.swp", "data/images/4913",
                             "data/images/kake1.jpg.saving", "data/sub/arm.ppp", "soundtrack.wav"})
        EXPECT_EQ(dataChangeOf(path), DataChange::None) << path;

    const DataChanges changes = dataChangesOf({"notes.txt", "data/script.scr", "soundtrack.mp3"});
    EXPECT_TRUE(changes.script);
    EXPECT_TRUE(changes.soundtrack);
    EXPECT_FALSE(changes.effects);
    EXPECT_FALSE(dataChangesOf({"notes.txt"}).any());
    // Lost changes (the whole folder) ask for everything.
    const DataChanges all = dataChangesOf({""});
    EXPECT_TRUE(all.script && all.effects && all.soundtrack);
}

TEST(AuthorChangeSettler, SavesSettleAfterAQuietSpell) {
    ChangeSettler settler;
    EXPECT_TRUE(settler.settled(1000).empty());
    // An editor's save: temporary file, rename; then nine more saves, each
    // a little sooner than the quiet spell after the one before.
    const std::int64_t gap = ChangeSettler::kQuietMs - 10;
    settler.add({"data/.script.scr.tmp", "data/script.scr"}, 1000);
    for (int i = 1; i < 10; ++i) {
        EXPECT_TRUE(settler.settled(1000 + gap * i - 1).empty());
        settler.add({"data/script.scr"}, 1000 + gap * i);
    }
    const std::int64_t last = 1000 + gap * 9;
    EXPECT_TRUE(settler.settled(last + ChangeSettler::kQuietMs - 1).empty());
    EXPECT_EQ(settler.settled(last + ChangeSettler::kQuietMs),
              (std::vector<std::string>{"data/.script.scr.tmp", "data/script.scr"}));
    EXPECT_FALSE(settler.pending());
    EXPECT_TRUE(settler.settled(5000).empty());
    settler.add({}, 6000);
    EXPECT_FALSE(settler.pending());
}

// The demo's texts about a scene or a picture lead with the file the author
// edits; texts naming no file, and those that already begin with one, stay.
TEST(AuthorErrorLocation, TheFileNamedInsideTheTextLeads) {
    const EditedFile edited = [](const std::string& path) {
        return path.rfind("data/", 0) == 0 ? "/show/" + path : path;
    };
    auto located = [&](const std::string& text) { return locatedError(text, "data/images/", edited); };
    EXPECT_EQ(located("Error in parsing data/modul2.ppp: could not open file"),
              "/show/data/modul2.ppp: could not open file");
    EXPECT_EQ(located("Error in parsing data/arm.ppp: could not load texture C:\\maps\\stone.tga"),
              "/show/data/arm.ppp: could not load texture C:\\maps\\stone.tga");
    EXPECT_EQ(located("could not load image rotule.pcx (PCX: Cannot read header)"),
              "/show/data/images/rotule.pcx: could not load image (PCX: Cannot read header)");
    EXPECT_EQ(located("could not load image data/tex/blob.tga"), "/show/data/tex/blob.tga: could not load image");
    EXPECT_EQ(located("could not bring image to 24 bits horizon.jpg"),
              "/show/data/images/horizon.jpg: could not bring image to 24 bits");
    EXPECT_EQ(located("scene data/steiner.ppp has no object 4"), "/show/data/steiner.ppp: scene has no object 4");
    for (const std::string same :
         {"/show/data/script.scr:12: unknown effect 99", "could not play stream", "Error in parsing ",
          "Error in parsing : x", "could not load image ", "scene of the crime", "effect too large", ""})
        EXPECT_EQ(located(same), same);
}

TEST(AuthorControlCommand, CommandsAndTheirMistakes) {
    ControlCommand c = parseControlCommand("seek 61440");
    EXPECT_EQ(c.kind, ControlCommand::Kind::Seek);
    EXPECT_EQ(c.from, 61440);
    EXPECT_TRUE(c.time.empty());
    // A time in the script's names is kept as written, read against the
    // script that plays.
    c = parseControlCommand(" seek BAR8 + BEAT2 \r");
    EXPECT_EQ(c.kind, ControlCommand::Kind::Seek);
    EXPECT_EQ(c.time, "BAR8 + BEAT2");
    EXPECT_EQ(parseControlCommand("seek drop+120").time, "drop+120");
    c = parseControlCommand("  loop 1000 5000\r");
    EXPECT_EQ(c.kind, ControlCommand::Kind::Loop);
    EXPECT_EQ(c.from, 1000);
    EXPECT_EQ(c.to, 5000);
    EXPECT_EQ(parseControlCommand("loop off").kind, ControlCommand::Kind::LoopOff);
    c = parseControlCommand("shot  my frames/at 1000.png \r");
    EXPECT_EQ(c.kind, ControlCommand::Kind::Shot);
    EXPECT_EQ(c.file, "my frames/at 1000.png");
    for (const char* word : {"pause", "play", "reload", "time", "quit", "status", "mark next", "mark prev"})
        EXPECT_NE(parseControlCommand(word).kind, ControlCommand::Kind::Invalid) << word;
    c = parseControlCommand("step bar -3");
    EXPECT_EQ(c.kind, ControlCommand::Kind::StepBars);
    EXPECT_EQ(c.from, -3);
    c = parseControlCommand("step beat +2147483647");
    EXPECT_EQ(c.kind, ControlCommand::Kind::StepBeats);
    EXPECT_EQ(c.from, 2147483647);
    c = parseControlCommand("mark chorus2");
    EXPECT_EQ(c.kind, ControlCommand::Kind::MarkNamed);
    EXPECT_EQ(c.file, "chorus2");
    EXPECT_EQ(parseControlCommand("overlay off").from, 0);
    EXPECT_EQ(parseControlCommand("overlay on").from, 1);

    for (const char* bad : {"",
                            "   ",
                            "seek",
                            "seek -5",
                            "seek 12ms",
                            "seek 99999999999",
                            "seek 1 2",
                            "seek 1000 + 500",
                            "seek BAR8 BEAT2",
                            "seek BAR8++BEAT2",
                            "seek +BAR8",
                            "loop 5",
                            "loop 5000 1000",
                            "loop 5 5",
                            "loop on",
                            "shot",
                            "shot  ",
                            "shot \r",
                            " \tshot \r",
                            "shot\v",
                            "pause now",
                            "time 5",
                            "SEEK 5",
                            "jump 5",
                            "step",
                            "step beat",
                            "step beat 0",
                            "step beat -0",
                            "step beat --1",
                            "step beat 1.5",
                            "step bars 1",
                            "step bar -2147483648",
                            "step bar 99999999999",
                            "mark",
                            "mark a b",
                            "overlay",
                            "overlay yes",
                            "status now"}) {
        c = parseControlCommand(bad);
        EXPECT_EQ(c.kind, ControlCommand::Kind::Invalid) << bad;
        EXPECT_FALSE(c.error.empty()) << bad;
    }
}

TEST(AuthorLineReader, HandsOverWholeLinesWithoutWaiting) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    LineReader reader(fds[0]);
    EXPECT_FALSE(reader.take());
    EXPECT_FALSE(reader.ended());
    const std::string text = "time\nseek 5";
    ASSERT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    auto waitFor = [&] {
        for (int i = 0; i < 500; ++i) {
            if (auto line = reader.take()) return *line;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string("<nothing>");
    };
    EXPECT_EQ(waitFor(), "time");
    EXPECT_FALSE(reader.take());  // "seek 5" is not a whole line yet
    ASSERT_EQ(::write(fds[1], "000\n", 4), 4);
    EXPECT_EQ(waitFor(), "seek 5000");
    // At the end of the input, the last unfinished line still counts.
    ASSERT_EQ(::write(fds[1], "quit", 4), 4);
    ::close(fds[1]);
    EXPECT_EQ(waitFor(), "quit");
    for (int i = 0; i < 500 && !reader.ended(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(reader.ended());
    ::close(fds[0]);
}

// The kernel's notifications as editors cause them: writes in place, saves by
// rename, deletes, re-creations, and files in folders made after the start.
TEST(AuthorFolderWatcher, SeesSavesRenamesDeletesAndNewFolders) {
    namespace fs = std::filesystem;
    TempDir dir;
    dir.write("data/script.scr", "old");
    std::string error;
    auto watcher = platform::watchFolder(dir.path().string(), &error);
    ASSERT_TRUE(watcher) << error;
    EXPECT_TRUE(watcher->takeChanges().empty());
    auto seen = [&](const std::string& path) {
        std::vector<std::string> all;
        for (int i = 0; i < 200; ++i) {
            for (const std::string& p : watcher->takeChanges()) all.push_back(p);
            if (std::find(all.begin(), all.end(), path) != all.end()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    dir.write("data/script.scr", "in place");
    EXPECT_TRUE(seen("data/script.scr"));
    dir.write("data/script.scr.tmp", "renamed");
    fs::rename(dir.file("data/script.scr.tmp"), dir.file("data/script.scr"));
    EXPECT_TRUE(seen("data/script.scr"));
    fs::remove(dir.file("data/script.scr"));
    EXPECT_TRUE(seen("data/script.scr"));
    dir.write("data/script.scr", "again");
    EXPECT_TRUE(seen("data/script.scr"));
    // A folder made now, and a picture in it at once.
    dir.write("data/images/kake1.jpg", "jpg");
    EXPECT_TRUE(seen("data/images/kake1.jpg"));
    dir.write("data/images/kake2.jpg", "jpg");
    EXPECT_TRUE(seen("data/images/kake2.jpg"));
    EXPECT_FALSE(platform::watchFolder(dir.file("no-such-folder"), &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vantor::test
