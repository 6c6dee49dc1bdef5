#include "tests/support/temp_dir.h"
#include "tools/vantor_script/soundtrack_loudness.h"
#include "tools/vantor_script/timeline_plan.h"
#include "tools/vantor_script/timeline_plot.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

using namespace vantor::plot;

// A picture read back, pixel by pixel.
class Picture {
public:
    explicit Picture(const std::string& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Picture() { cairo_surface_destroy(surface_); }
    bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }
    bool is(int x, int y, vantor::look::Rgb c) const {
        if (!ok() || x < 0 || y < 0 || x >= width() || y >= height()) return false;
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
        return ((p >> 16) & 0xff) == c.r && ((p >> 8) & 0xff) == c.g && (p & 0xff) == c.b;
    }

private:
    cairo_surface_t* surface_;
};

struct Drawn {
    TimelinePlan plan;
    PlotLayout layout;
};

Drawn draw(const std::string& text, const std::string& out, std::int32_t from = 0, std::int32_t to = 240000,
           const std::string& soundtrack = {}) {
    const ScriptReadResult read = Script::parseText(text);
    if (!read.script) {
        ADD_FAILURE() << (read.error ? read.error->text() : "no script");
        return {};
    }
    Drawn d{planTimeline(*read.script, text, from, to, read.script->endTime(0)), {}};
    d.layout = layoutOf(d.plan);
    Loudness loudness;
    if (!soundtrack.empty()) {
        EXPECT_TRUE(measureLoudness(soundtrack, from, to, PlotLayout::kTimelineWidth, loudness));
    }
    std::string error;
    EXPECT_TRUE(drawTimeline(d.plan, loudness, {"test.scr", soundtrack}, out, &error)) << error;
    return d;
}

TEST(TimelinePlot, EveryEventOfTheShippedShowIsDrawnInItsRow) {
    vantor::test::TempDir dir;
    const std::string text = vantor::test::readFile(VANTOR_SHIPPED_SCRIPT);
    const Drawn d = draw(text, dir.file("show.png"), 0, 240000, std::string(VANTOR_DEMO_DIR) + "/soundtrack.mp3");
    const Picture picture(dir.file("show.png"));
    ASSERT_TRUE(picture.ok());
    ASSERT_EQ(picture.width(), d.layout.width());
    ASSERT_EQ(picture.height(), d.layout.height());

    std::map<int, int> rowOf;
    for (std::size_t r = 0; r < d.plan.rows.size(); ++r) rowOf[d.plan.rows[r].effectId] = int(r);
    const auto script = Script::fromText(text);
    int checked = 0;
    for (const ScriptEvent& e : script->timelineEvents()) {
        ASSERT_TRUE(rowOf.count(e.effectId)) << "line " << e.line;
        const int top = d.layout.rowTop(rowOf[e.effectId]);
        const int x = d.layout.columnOf(e.time);
        if (e.kind == ScriptEvent::Signal) {
            EXPECT_TRUE(picture.is(x, top + PlotLayout::kTickTop + 1, kTickColour)) << "signal on line " << e.line;
        } else if (e.kind == ScriptEvent::Init) {
            EXPECT_TRUE(picture.is(x, top + PlotLayout::kInitTop + 1, kInitColour)) << "INIT on line " << e.line;
        } else {
            // A START or END stands at the edge of a drawn bar (a signal's
            // tick may cover that very column).
            const int y = top + PlotLayout::kBarTop + 3;
            bool bar = false;
            for (int dx = -2; dx <= 2 && !bar; ++dx)
                bar = picture.is(x + dx, y, kBarColour) || picture.is(x + dx, y, vantor::look::kCoolLight);
            EXPECT_TRUE(bar) << "START or END on line " << e.line;
        }
        ++checked;
    }
    EXPECT_GT(checked, 200);
    for (const ScriptEvent& e : script->setupEvents())
        EXPECT_TRUE(picture.is(PlotLayout::kHeaderWidth + 6,
                               d.layout.rowTop(rowOf[e.effectId]) + PlotLayout::kSetupDotY, kSetupColour))
            << "setup signal on line " << e.line;
}

TEST(TimelinePlot, NamesComeFromTheScriptThenFromTheEffectTable) {
    const std::string text =
        "DEFINE CRATE 17\nDEFINE NEXT 20\nSETUP\nTIMELINE\n1000 START CRATE\n2000 SIGNAL CRATE NEXT 0\n"
        "3000 SIGNAL 30 1 0\n4000 START 30\n5000 END 30\n";
    const auto script = Script::fromText(text);
    ASSERT_TRUE(script);
    const TimelinePlan plan = planTimeline(*script, text, 0, 10000, 240000);
    ASSERT_EQ(plan.rows.size(), 2u);
    EXPECT_EQ(plan.rows[0].name, "CRATE");
    ASSERT_EQ(plan.rows[0].signals.size(), 1u);
    EXPECT_EQ(plan.rows[0].signals[0].label, "NEXT");
    // A START without its END runs to the show's end.
    ASSERT_EQ(plan.rows[0].spans.size(), 1u);
    EXPECT_EQ(plan.rows[0].spans[0].end, 240000);
    EXPECT_EQ(plan.rows[1].name, "");
    EXPECT_EQ(plan.rows[1].className, "FlashEffect");
    EXPECT_EQ(plan.rows[1].signals[0].label, "ONCE");
}

TEST(TimelinePlot, OnlyTheChosenStretchIsDrawn) {
    vantor::test::TempDir dir;
    const Drawn d = draw("SETUP\nTIMELINE\n5000 SIGNAL 30 1 0\n20000 SIGNAL 30 1 0\n", dir.file("part.png"), 0, 10000);
    const Picture picture(dir.file("part.png"));
    ASSERT_TRUE(picture.ok());
    ASSERT_EQ(d.plan.rows.size(), 1u);
    const int y = d.layout.rowTop(0) + PlotLayout::kTickTop + 1;
    int ticks = 0;
    for (int x = d.layout.timelineLeft(); x < d.layout.timelineLeft() + PlotLayout::kTimelineWidth; ++x)
        ticks += picture.is(x, y, kTickColour) && !picture.is(x - 1, y, kTickColour);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(picture.is(d.layout.columnOf(5000), y, kTickColour));
}

TEST(TimelinePlot, BadInputGivesAPictureOfBoundedSize) {
    vantor::test::TempDir dir;
    // An empty script: the grid and a note, no rows.
    Drawn d = draw("", dir.file("empty.png"));
    EXPECT_TRUE(d.plan.rows.empty());
    EXPECT_TRUE(Picture(dir.file("empty.png")).ok());

    // 1000 events at one time, on as many effects: the rows are folded.
    std::string crowd = "SETUP\nTIMELINE\n";
    for (int id = 0; id < 1000; ++id) crowd += "7000 SIGNAL " + std::to_string(id) + " 1 0\n";
    d = draw(crowd, dir.file("crowd.png"));
    ASSERT_EQ(int(d.plan.rows.size()), TimelinePlan::kMaxRows);
    EXPECT_EQ(d.plan.rows.back().lastId, 999);
    const Picture picture(dir.file("crowd.png"));
    ASSERT_TRUE(picture.ok());
    EXPECT_LT(picture.height(), 8000);
    EXPECT_TRUE(picture.is(d.layout.columnOf(7000),
                           d.layout.rowTop(TimelinePlan::kMaxRows - 1) + PlotLayout::kTickTop + 1, kTickColour));
}

int run(const std::string& command) { return std::system(command.c_str()); }

TEST(TimelinePlot, TheToolReportsMissingSoundtrackAndUnwritablePicture) {
    vantor::test::TempDir dir;
    dir.write("show/data/script.scr", "SETUP\nTIMELINE\n1000 START 30\n2000 END 30\n");
    dir.enter();
    // No soundtrack anywhere the tool looks: a warning, the picture still made.
    const std::string tool = SCRIPT_TOOL;
    const std::string plot = "cd " + dir.path().string() + " && " + tool + " plot show/data/script.scr ";
    EXPECT_EQ(run("mkdir -p bin && cp " + tool +
                  " bin/ && bin/vantor-script plot show/data/script.scr a.png --data show 2>err.txt"),
              0);
    EXPECT_NE(vantor::test::readFile(dir.file("err.txt")).find("no soundtrack"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.png")));
    // A picture that cannot be written: exit 1, nothing left behind.
    EXPECT_NE(run(plot + "missing/b.png 2>/dev/null"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
    EXPECT_NE(run(plot + "c.png --from 5000 --to 100 2>/dev/null"), 0);
    EXPECT_NE(run(plot + "c.png --to BAR9x 2>/dev/null"), 0);
    // A stretch given in the script's names: its grid and its marks.
    dir.write("grid.scr", "BPM 120\nMARK drop 6000\nSETUP\nTIMELINE\n1000 START 30\n9000 END 30\nLINETIME\n");
    const std::string gridPlot = "cd " + dir.path().string() + " && " + tool + " plot grid.scr ";
    EXPECT_EQ(run(gridPlot + "d.png --from BAR1 --to drop+BEAT2 2>err.txt"), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("d.png")));
    EXPECT_EQ(run(gridPlot + "e.png --from BAR1 --to drop+BI 2>err.txt"), 1 << 8);
    EXPECT_NE(vantor::test::readFile(dir.file("err.txt")).find("--to drop+BI: `BI`"), std::string::npos);
}

// The shipped soundtrack is looked for in the working folder, then next to
// the program, then in the install's share/vantor/ beside its bin/: the first
// place that holds one is taken (a broken one there is not passed over).
TEST(TimelinePlot, TheShippedSoundtrackIsFoundWhereAnInstallPutsIt) {
    vantor::test::TempDir dir;
    dir.write("show.scr", "SETUP\nTIMELINE\n1000 START 30\n2000 END 30\n");
    dir.write("broken.mp3", "not an mp3");
    const std::string prefix = dir.file("prefix");
    const std::string setup = "cd " + dir.path().string() + " && mkdir -p prefix/bin prefix/share/vantor work && cp " +
                              std::string(SCRIPT_TOOL) + " prefix/bin/ && cp " + VANTOR_DEMO_DIR +
                              "/soundtrack.mp3 prefix/share/vantor/";
    ASSERT_EQ(run(setup), 0);
    const std::string plot =
        "cd " + dir.file("work") + " && ../prefix/bin/vantor-script plot ../show.scr out.png 2>err.txt";
    const auto warned = [&] { return vantor::test::readFile(dir.file("work/err.txt")); };

    EXPECT_EQ(run(plot), 0);
    EXPECT_EQ(warned(), "");
    // Next to the program comes before share/vantor/.
    ASSERT_EQ(run("cp " + dir.file("broken.mp3") + " " + prefix + "/bin/soundtrack.mp3"), 0);
    EXPECT_EQ(run(plot), 0);
    EXPECT_NE(warned().find("prefix/bin/soundtrack.mp3"), std::string::npos) << warned();
    // The working folder comes first of all.
    ASSERT_EQ(run("cp " + dir.file("broken.mp3") + " " + dir.file("work/soundtrack.mp3")), 0);
    EXPECT_EQ(run(plot), 0);
    EXPECT_NE(warned().find("at soundtrack.mp3:"), std::string::npos) << warned();
}

TEST(TimelinePlot, TheToolDrawsAnEmptyScript) {
    vantor::test::TempDir dir;
    dir.write("empty.scr", "");
    const std::string tool = SCRIPT_TOOL;
    EXPECT_EQ(run("cd " + dir.path().string() + " && " + tool + " plot empty.scr e.png --data . 2>/dev/null"), 0);
    EXPECT_TRUE(Picture(dir.file("e.png")).ok());
}

}  // namespace
