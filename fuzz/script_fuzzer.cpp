// Fuzzes the timeline script reader and the script checker: every input is a
// script file. It is read twice, through the data-file layer as the demo
// reads "data/script.scr" (an error ends in the fatal-error sink, which
// throws here) and from memory as the author tools read it; both readings
// must agree, and a script that parses must keep what the reader promises
// (no more events than the tables hold, setup events of kind SIGNAL at time
// 0). The checker then judges the text against data that comes and goes
// with the names, and its findings must hold together: in line order, each
// at a line the file has and, for an error, on a line with something on it;
// none reported twice; and the error that stops the demo's reading among
// them, at its line.
#include "runtime/fatal_error.h"
#include "runtime/script.h"
#include "app/script_check.h"
#include "fuzz/any_script_data.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

// Where each line of the text starts; the line after the last '\n' counts.
std::vector<std::size_t> lineStarts(std::string_view text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') starts.push_back(i + 1);
    return starts;
}

bool blankLine(std::string_view text, const std::vector<std::size_t>& starts, int line) {
    const std::size_t from = starts[static_cast<std::size_t>(line - 1)];
    const std::size_t to =
        static_cast<std::size_t>(line) < starts.size() ? starts[static_cast<std::size_t>(line)] : text.size();
    return text.substr(from, to - from).find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void checkFindings(std::string_view text, const std::vector<CheckDiagnostic>& found,
                   const std::optional<ScriptDiagnostic>& readError) {
    const std::vector<std::size_t> starts = lineStarts(text);
    const int lines = static_cast<int>(starts.size());
    std::set<std::tuple<int, bool, std::string>> reported;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const CheckDiagnostic& d = found[i];
        if (d.line < 0 || d.line > lines || d.message.empty()) std::abort();
        if (i > 0 && found[i - 1].line > d.line) std::abort();
        if (d.severity == CheckDiagnostic::Severity::Error && d.line > 0 && blankLine(text, starts, d.line))
            std::abort();
        if (!reported.insert({d.line, d.severity == CheckDiagnostic::Severity::Error, d.message}).second) std::abort();
    }
    if (readError) {
        const bool stopped = std::any_of(found.begin(), found.end(), [&](const CheckDiagnostic& d) {
            return d.severity == CheckDiagnostic::Severity::Error && d.line == readError->line;
        });
        if (!stopped) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string& path = vantor::fuzz::writeInput(data, size, "scr");
    const ScriptReadResult fromMemory = Script::parseText(text);
    if ((fromMemory.script != nullptr) == fromMemory.error.has_value()) std::abort();
    ScopedFatalErrorCapture capture;
    bool readFromFile = false;
    try {
        Script script(path.c_str());
        readFromFile = true;
        if (script.timelineEvents().size() > Script::kMaxTimelineEvents ||
            script.setupEvents().size() > Script::kMaxSetupEvents)
            std::abort();
        for (const ScriptEvent& e : script.setupEvents())
            if (e.time != 0 || e.kind != 4) std::abort();
        if (!fromMemory.script || fromMemory.script->timelineEvents().size() != script.timelineEvents().size() ||
            fromMemory.script->setupEvents().size() != script.setupEvents().size())
            std::abort();
    } catch (const FatalError&) {}
    if (readFromFile != (fromMemory.script != nullptr)) std::abort();

    vantor::fuzz::AnyScriptData anyData;
    checkFindings(text, checkScript(fromMemory, anyData), fromMemory.error);
    return 0;
}
