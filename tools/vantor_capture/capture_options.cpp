#include "tools/vantor_capture/capture_options.h"

#include "app/frame_loop.h"
#include "runtime/typed_time.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

const char* const kCaptureUsage =
    "usage: vantor-capture [options] OUT.mp4|OUT.mkv|OUT.webm\n"
    "       vantor-capture [options] DIR/\n"
    "       vantor-capture --at T[,T...] [options] DIR/\n"
    "\n"
    "Renders the demo without a window or a sound device, frame by frame with the\n"
    "music time stepped exactly 1000/fps ms a frame from the script's DEMOSTART,\n"
    "from vantor.ppd and soundtrack.mp3 in the working directory (else next to\n"
    "the program, else in the install's share/vantor/).\n"
    "\n"
    "  OUT.mp4, .mkv, .webm  a video through ffmpeg, with the soundtrack from the\n"
    "                        first captured frame on\n"
    "  DIR/                  every frame as a numbered PNG (000000.png, ...)\n"
    "  --at T[,T...]         one PNG per music time, named MS.png; each is drawn\n"
    "                        after every frame before it at the chosen rate (a time\n"
    "                        between two frames adds one frame at that time)\n"
    "\n"
    "options:\n"
    "  --size WxH      frame size (default 640x480; even sizes for video); the\n"
    "                  4:3 show is drawn at that resolution between black bars\n"
    "                  (1920x1080: 1440x1080 between two 240-pixel bars)\n"
    "  --fps N         frames per second of music (default 60)\n"
    "  --from T        first music time written (default DEMOSTART); the frames\n"
    "                  before it are still drawn, so every frame looks as in the demo\n"
    "  --to T          music time at which writing ends (default: the end of the\n"
    "                  show, the script's DEMOEND or the soundtrack's end, at most\n"
    "                  240000)\n"
    "  --data DIR      play the folder DIR over vantor.ppd, as vantor --data does\n"
    "                  (DIR/soundtrack.mp3, when present, is the soundtrack)\n"
    "  --profile       print each effect's drawing time per frame on stdout\n"
    "  --overlay       draw the author overlay (time, bar:beat, running effects,\n"
    "                  last event) over every frame\n"
    "  --quiet         no progress line on stderr\n"
    "  --help          this text\n"
    "\n"
    "A time T is ms (16875) or a time in the names of the show's script, read as\n"
    "its timeline reads them: BAR9, BAR8+BEAT2 (the grid of its BPM and BEATS), a\n"
    "MARK's name, a DEFINE, summed with +.\n";

namespace {

constexpr int kMaxSide = 8192;
constexpr int kMaxFps = 1000;

// A whole decimal number in [low, high], nothing else.
bool parseNumber(const std::string& text, long low, long high, int& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long number = std::strtol(text.c_str(), nullptr, 10);
    if (number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && parseNumber(text.substr(0, x), 1, kMaxSide, width) &&
           parseNumber(text.substr(x + 1), 1, kMaxSide, height);
}

bool parseTimes(const std::string& text, std::vector<int>& times) {
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = text.find(',', begin);
        int time = 0;
        if (!parseNumber(text.substr(begin, comma - begin), 0, FrameLoop::kEndTime, time)) return false;
        times.push_back(time);
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return true;
}

// The comma-separated parts of a list of times.
std::vector<std::string> listParts(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = text.find(',', begin);
        parts.push_back(text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin));
        if (comma == std::string::npos) return parts;
        begin = comma + 1;
    }
}

// Whether a value that is not plain ms names times the script can read: every
// time (of a list, when `list`) has the form of one and one names something.
bool namesTimes(const std::string& value, bool list) {
    const std::vector<std::string> parts = list ? listParts(value) : std::vector<std::string>{value};
    bool named = false;
    for (const std::string& part : parts) {
        if (!isTypedTime(part)) return false;
        named = named || part.find_first_not_of("0123456789+ \t") != std::string::npos;
    }
    return named;
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() > n && text.compare(text.size() - n, n, suffix) == 0;
}

ParsedCommandLine usageError(std::string error) {
    ParsedCommandLine parsed;
    parsed.error = std::move(error);
    return parsed;
}

}  // namespace

ParsedCommandLine parseCaptureCommandLine(int argc, const char* const* argv) {
    ParsedCommandLine parsed;
    CaptureOptions& o = parsed.options;
    std::vector<std::string> outputs;
    bool atGiven = false, fromGiven = false, toGiven = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            parsed.action = ParsedCommandLine::Action::Help;
            return parsed;
        }
        if (arg == "--profile") {
            o.profile = true;
            continue;
        }
        if (arg == "--overlay") {
            o.overlay = true;
            continue;
        }
        if (arg == "--quiet") {
            o.quiet = true;
            continue;
        }
        if (arg == "--data") {
            if (i + 1 >= argc) return usageError(arg + " needs a value");
            o.data = argv[++i];
            if (!std::filesystem::is_directory(o.data)) return usageError("--data needs a folder: \"" + o.data + "\"");
            continue;
        }
        if (arg == "--size" || arg == "--fps" || arg == "--from" || arg == "--to" || arg == "--at") {
            if (i + 1 >= argc) return usageError(arg + " needs a value");
            const std::string value = argv[++i];
            bool ok = false;
            if (arg == "--size") {
                ok = parseSize(value, o.width, o.height);
            } else if (arg == "--fps") {
                ok = parseNumber(value, 1, kMaxFps, o.fps);
            } else if (arg == "--from") {
                int from = 0;
                ok = parseNumber(value, 0, FrameLoop::kEndTime, from);
                if (ok)
                    o.from = from;
                else if ((ok = namesTimes(value, false)))
                    o.fromWritten = value;
                fromGiven = true;
            } else if (arg == "--to") {
                int to = 0;
                ok = parseNumber(value, 1, FrameLoop::kEndTime, to);
                if (ok)
                    o.to = to;
                else if ((ok = namesTimes(value, false)))
                    o.toWritten = value;
                toGiven = true;
            } else {
                std::vector<int> times;
                ok = parseTimes(value, times);
                if (ok)
                    o.at.insert(o.at.end(), times.begin(), times.end());
                else if ((ok = namesTimes(value, true)))
                    o.atWritten += (o.atWritten.empty() ? "" : ",") + value;
                atGiven = true;
            }
            if (!ok) return usageError("not a valid value for " + arg + ": \"" + value + "\"");
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') return usageError("unknown option " + arg);
        outputs.push_back(arg);
    }

    // Several --at options make one list.
    std::sort(o.at.begin(), o.at.end());
    o.at.erase(std::unique(o.at.begin(), o.at.end()), o.at.end());
    if (outputs.size() != 1) return usageError(outputs.empty() ? "no output given" : "more than one output given");
    o.path = outputs.front();
    const bool folder = o.path.back() == '/' || std::filesystem::is_directory(o.path);
    if (folder) {
        o.output = atGiven ? CaptureOptions::Output::Pictures : CaptureOptions::Output::FrameFiles;
    } else if (endsWith(o.path, ".mp4") || endsWith(o.path, ".mkv") || endsWith(o.path, ".webm")) {
        if (atGiven) return usageError("--at writes PNG files into a folder (DIR/), not a video");
        o.output = CaptureOptions::Output::Video;
        if (o.width % 2 != 0 || o.height % 2 != 0) return usageError("a video needs an even width and height");
    } else {
        return usageError("the output must be a .mp4, .mkv or .webm file or a folder ending in /");
    }
    if (atGiven && (fromGiven || toGiven)) return usageError("--at takes no --from or --to");
    if (o.from && *o.from >= o.to.value_or(FrameLoop::kEndTime)) return usageError("--from must lie before --to");
    parsed.action = ParsedCommandLine::Action::Capture;
    return parsed;
}

namespace {

// One written time of an option, held to [low, kEndTime].
bool resolveTime(const char* option, const std::string& text, const Script& script, int low, int& ms,
                 std::string& error) {
    const TypedTime time = readTypedTime(text, &script);
    if (!time.ms) {
        error = std::string(option) + " " + text + ": " + time.error;
        return false;
    }
    if (*time.ms < low || *time.ms > FrameLoop::kEndTime) {
        error = std::string(option) + " " + text + " is " + std::to_string(*time.ms) + " ms, outside the show (" +
                std::to_string(low) + " to " + std::to_string(FrameLoop::kEndTime) + ")";
        return false;
    }
    ms = *time.ms;
    return true;
}

}  // namespace

bool resolveCaptureTimes(CaptureOptions& o, const Script& script, std::string& error) {
    int ms = 0;
    if (!o.fromWritten.empty()) {
        if (!resolveTime("--from", o.fromWritten, script, 0, ms, error)) return false;
        o.from = ms;
    }
    if (!o.toWritten.empty()) {
        if (!resolveTime("--to", o.toWritten, script, 1, ms, error)) return false;
        o.to = ms;
    }
    if (!o.atWritten.empty()) {
        for (const std::string& part : listParts(o.atWritten)) {
            if (!resolveTime("--at", part, script, 0, ms, error)) return false;
            o.at.push_back(ms);
        }
        std::sort(o.at.begin(), o.at.end());
        o.at.erase(std::unique(o.at.begin(), o.at.end()), o.at.end());
    }
    if (o.from && *o.from >= o.to.value_or(FrameLoop::kEndTime)) {
        error = "--from (" + std::to_string(*o.from) + " ms) must lie before --to (" +
                std::to_string(o.to.value_or(FrameLoop::kEndTime)) + " ms)";
        return false;
    }
    o.fromWritten.clear();
    o.toWritten.clear();
    o.atWritten.clear();
    return true;
}
