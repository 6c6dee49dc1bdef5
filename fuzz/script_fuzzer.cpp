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
// them, at its line. The input's last line is then read as a time an author
// types to the tools (seek, --at), in the script's names and without them: a
// time or an error, never both; a number or a sum of numbers is their value;
// each MARK's name stands for its time.
#include "runtime/fatal_error.h"
#include "runtime/script.h"
#include "runtime/typed_time.h"
#include "app/script_check.h"
#include "fuzz/any_script_data.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <optional>
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

// The value of a "+"-joined sum of whole numbers, held at INT32_MAX as the
// reader holds sums past the 32-bit range; none for any other text.
std::optional<std::int64_t> numberSum(std::string_view text) {
    std::int64_t sum = 0;
    for (std::size_t begin = 0;;) {
        const std::size_t plus = text.find('+', begin);
        std::string_view term = text.substr(begin, plus == std::string_view::npos ? plus : plus - begin);
        const auto first = term.find_first_not_of(" \t\r\n\v\f");
        if (first == std::string_view::npos) return std::nullopt;
        term = term.substr(first, term.find_last_not_of(" \t\r\n\v\f") - first + 1);
        if (term.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
        std::int64_t value = 0;
        for (char c : term) value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
        sum = std::min<std::int64_t>(sum + value, INT32_MAX);
        if (plus == std::string_view::npos) return sum;
        begin = plus + 1;
    }
}

void checkTypedTime(std::string_view text, const Script* script) {
    const TypedTime time = readTypedTime(text, script);
    if (time.ms.has_value() != time.error.empty()) std::abort();
    if (time.ms && !isTypedTime(text)) std::abort();
    if (!script) {
        const std::optional<std::int64_t> sum = numberSum(text);
        if (sum.has_value() != time.ms.has_value()) std::abort();
        if (sum && *time.ms != *sum) std::abort();
    }
}

// Each MARK's name (its first mark of that name) reads as its time, unless a
// DEFINE of that name stands for something else or the name is not a word
// of a typed time.
void checkMarkNames(const Script& script) {
    const auto& marks = script.timing().marks;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const std::string& name = marks[i].name;
        if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_') ||
            name.find_first_of(std::string(" \t\r\n\v\f+\0", 8)) != std::string::npos)
            continue;
        const auto sameName = [&](const auto& other) { return other.name == name; };
        if (std::any_of(marks.begin(), marks.begin() + static_cast<long>(i), sameName) ||
            std::any_of(script.defines().begin(), script.defines().end(), sameName))
            continue;
        const TypedTime time = readTypedTime(name, &script);
        if (!time.ms || *time.ms != marks[i].time) std::abort();
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

    const std::size_t lastLine = text.rfind('\n', text.size() > 0 ? text.size() - 2 : 0);
    std::string_view typed = lastLine == std::string_view::npos ? text : text.substr(lastLine + 1);
    if (!typed.empty() && typed.back() == '\n') typed.remove_suffix(1);
    checkTypedTime(typed, nullptr);
    if (fromMemory.script) {
        checkTypedTime(typed, fromMemory.script.get());
        checkMarkNames(*fromMemory.script);
    }
    return 0;
}
