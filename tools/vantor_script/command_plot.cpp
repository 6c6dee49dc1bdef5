// vantor-script plot FILE OUT.png: the timeline as a picture.
#include "runtime/script.h"
#include "runtime/shipped_files.h"
#include "runtime/typed_time.h"
#include "tools/vantor_script/script_commands.h"
#include "tools/vantor_script/soundtrack_loudness.h"
#include "tools/vantor_script/timeline_plan.h"
#include "tools/vantor_script/timeline_plot.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const char* const kPlotUsage =
    "usage: vantor-script plot FILE OUT.png [--data DIR] [--from T] [--to T]\n"
    "\n"
    "Draws the timeline script FILE as a picture: one row per effect with the\n"
    "spans it runs (START to END), its INITs and its signals named by their\n"
    "codes, the bar and beat grid of BPM and BEATS with bar numbers, every MARK,\n"
    "DEMOSTART, the show's end, and the soundtrack's loudness along the bottom.\n"
    "\n"
    "  --data DIR  the show's folder: DIR/soundtrack.mp3 is the soundtrack when\n"
    "              there is one, else the shipped soundtrack.mp3\n"
    "  --from T    first music time drawn (default 0)\n"
    "  --to T      last music time drawn (default: the show's end)\n"
    "A time T is ms or in the script's names: BAR9, BAR8+BEAT2, a MARK, a DEFINE.\n";

struct PlotOptions {
    const char* file = nullptr;
    const char* out = nullptr;
    const char* data = nullptr;
    std::optional<std::int32_t> from, to;
    // --from and --to in the script's names (BAR9, a MARK), read once the
    // script is; null when given in ms.
    const char* fromWritten = nullptr;
    const char* toWritten = nullptr;
};

bool readMs(const char* text, std::int32_t& ms) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    ms = std::int32_t(value);
    return true;
}

// 0: go on; otherwise the exit status.
int parsePlotArguments(int argc, char** argv, PlotOptions& options) {
    for (int i = 2; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            std::fputs(kPlotUsage, stdout);
            return -1;
        }
        const bool from = std::strcmp(arg, "--from") == 0, to = std::strcmp(arg, "--to") == 0;
        if (from || to || std::strcmp(arg, "--data") == 0) {
            if (i + 1 >= argc) return 2;
            const char* value = argv[++i];
            std::int32_t ms = 0;
            if (!from && !to) {
                options.data = value;
            } else if (!readMs(value, ms)) {
                if (!isTypedTime(value)) {
                    std::fprintf(stderr, "vantor-script plot: %s wants a music time (ms, BAR9, a MARK), not \"%s\"\n",
                                 arg, value);
                    return 2;
                }
                (from ? options.fromWritten : options.toWritten) = value;
            } else {
                (from ? options.from : options.to) = ms;
            }
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return 2;
        } else if (!options.file) {
            options.file = arg;
        } else if (!options.out) {
            options.out = arg;
        } else {
            return 2;
        }
    }
    return options.out ? 0 : 2;
}

std::string soundtrackOf(const PlotOptions& options) {
    std::error_code ec;
    if (options.data) {
        const fs::path own = fs::path(options.data) / "soundtrack.mp3";
        if (fs::is_regular_file(own, ec)) return own.string();
    }
    return findShippedFile("soundtrack.mp3");
}

}  // namespace

int runPlot(int argc, char** argv) {
    PlotOptions options;
    if (const int status = parsePlotArguments(argc, argv, options); status != 0) {
        if (status < 0) return 0;
        std::fputs(kPlotUsage, stderr);
        return status;
    }
    std::ifstream in(options.file, std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "%s: error: cannot read the file\n", options.file);
        return 1;
    }
    const std::string text = read.str();
    const ScriptReadResult result = Script::parseText(text);
    if (!result.script) {
        std::fprintf(stderr, "%s\n", result.error->located(options.file, "error").c_str());
        return 1;
    }
    const Script& script = *result.script;
    for (auto [written, ms, option] : {std::tuple{options.fromWritten, &options.from, "--from"},
                                       std::tuple{options.toWritten, &options.to, "--to"}}) {
        if (!written) continue;
        const TypedTime time = readTypedTime(written, &script);
        if (!time.ms) {
            std::fprintf(stderr, "vantor-script plot: %s %s: %s\n", option, written, time.error.c_str());
            return 1;
        }
        *ms = *time.ms;
    }

    const std::string soundtrack = soundtrackOf(options);
    const double soundtrackMs = vantor::plot::soundtrackLengthMs(soundtrack);
    const std::int32_t end = script.endTime(std::int64_t(soundtrackMs));
    const std::int32_t from = options.from.value_or(0);
    const std::int32_t to = options.to.value_or(std::max(end, from + 1));
    if (to <= from) {
        std::fprintf(stderr, "vantor-script plot: nothing to draw: --to %d is not after --from %d\n", to, from);
        return 2;
    }

    const vantor::plot::TimelinePlan plan = vantor::plot::planTimeline(script, text, from, to, end);
    if (plan.foldedEffects > 0)
        std::fprintf(stderr, "%s: warning: %d effects are drawn together on the last row\n", options.file,
                     plan.foldedEffects);
    vantor::plot::Loudness loudness;
    const bool heard =
        soundtrackMs > 0 &&
        vantor::plot::measureLoudness(soundtrack, from, to, vantor::plot::PlotLayout::kTimelineWidth, loudness);
    if (!heard)
        std::fprintf(stderr, "%s: warning: no soundtrack at %s: drawn without its loudness\n", options.file,
                     soundtrack.c_str());

    vantor::plot::PlotCaption caption;
    caption.title = fs::path(options.file).filename().string();
    if (heard) caption.soundtrack = fs::path(soundtrack).filename().string();
    std::string error;
    if (!vantor::plot::drawTimeline(plan, loudness, caption, options.out, &error)) {
        std::fprintf(stderr, "%s: error: %s\n", options.out, error.c_str());
        return 1;
    }
    return 0;
}
