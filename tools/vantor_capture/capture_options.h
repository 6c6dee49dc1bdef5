// The command line of vantor-capture.
#pragma once

#include "runtime/demo_end.h"

#include <optional>
#include <string>
#include <vector>

struct CaptureOptions {
    enum class Output { Video, FrameFiles, Pictures };

    Output output = Output::Video;
    std::string path;  // the video file, or the folder of PNG files
    int width = 640;
    int height = 480;
    int fps = 60;
    std::optional<int> from;  // default: the script's DEMOSTART
    std::optional<int> to;    // default: the end of the show (DEMOEND, or the soundtrack's end)
    std::vector<int> at;      // Pictures: music times, ascending, without repeats
    bool profile = false;
    std::string data;      // a data folder over the archive (empty: none)
    bool overlay = false;  // the author overlay over every frame
    bool quiet = false;
    // --from, --to and --at as typed when they name times of the show's
    // script (BAR9, BAR8+BEAT2, a MARK, a DEFINE): read by resolveCaptureTimes
    // once the script is read; empty when the option gave plain ms.
    std::string fromWritten, toWritten, atWritten;
};

// What parsing the command line asks for.
struct ParsedCommandLine {
    enum class Action { Capture, Help, UsageError };

    Action action = Action::UsageError;
    CaptureOptions options;
    std::string error;  // UsageError: what is wrong
};

ParsedCommandLine parseCaptureCommandLine(int argc, const char* const* argv);

class Script;
// Reads the written times in the names of the show's script into from, to
// and at, with the checks the command line makes of plain ms. False, with
// the reason in error, when a time does not read or does not fit.
bool resolveCaptureTimes(CaptureOptions& options, const Script& script, std::string& error);

extern const char* const kCaptureUsage;
