// Reading the timeline script: the file through the data-file layer, then
// three passes over its words (comments and DEFINEs out, substitution,
// sections). An error stops the reading and names the entry's position within
// its section, and the line of the file it was found on; the demo ends on it,
// author tools get it back.
#include "runtime/script.h"

#include "runtime/demo_end.h"
#include "runtime/fatal_error.h"
#include "runtime/script_numbers.h"
#include "libs/ppd/ppd.h"

#include <string>

namespace {

using vantor::script_text::WordReader;

constexpr const char* kUnreadable = "could not parse script";
constexpr const char* kSetupTimeNotZero = "script: not a valid time (should be 0) in setup line #";
constexpr const char* kSetupEventUnknown = "script: event not recognized in setup line #";
constexpr const char* kSetupIntegerValue = "this is probably wrong, adding integer event in setup ";
constexpr const char* kTimelineTimeZero = "script: not a valid(1-maxtime) time in timeline line #";
constexpr const char* kTimelineEventUnknown = "script: event not recognized in timeline line #";
// Outside the format: words where an entry needs a number or a value.
constexpr const char* kSetupNotANumber = "script: not a valid number in setup line #";
constexpr const char* kTimelineNotANumber = "script: not a valid number in timeline line #";
constexpr const char* kSetupValueMissing = "script: value missing in setup line #";
constexpr const char* kTimelineValueMissing = "script: value missing in timeline line #";
constexpr const char* kDemoStartNotANumber = "script: not a valid DEMOSTART value";
constexpr const char* kDemoEndOutside = "script: DEMOEND needs a time of the show, from 1 to 240000 ms";
constexpr const char* kDemoEndBeforeStart = "script: DEMOEND must come after DEMOSTART (the show would end before it begins)";

// Where a section's errors go: its own messages, with the entry number.
struct SectionMessages {
    const char* notANumber;
    const char* valueMissing;
};
constexpr SectionMessages kSetupMessages{kSetupNotANumber, kSetupValueMissing};
constexpr SectionMessages kTimelineMessages{kTimelineNotANumber, kTimelineValueMissing};

// The error that stops a reading; caught in Script::parseText.
struct SyntaxError {
    ScriptDiagnostic diagnostic;
};

// The third pass: the words after substitution, read section by section, with
// the line of the file each word came from.
class SectionReader {
public:
    SectionReader(std::string_view words, const std::vector<int>& fileLines, std::vector<ScriptDiagnostic>& warnings)
        : reader_(words), fileLines_(fileLines), warnings_(warnings) {}

    // The header's DEMOSTART and DEMOEND, each with its line (0: none).
    struct Header {
        std::int32_t demoStart = 0;
        int demoStartLine = 0;
        std::int32_t demoEnd = 0;
        int demoEndLine = 0;
    };
    Header readHeader(ScriptTiming& timing);
    void readSetup(std::vector<ScriptEvent>& events);
    void readTimeline(std::vector<ScriptEvent>& events);

private:
    // The line of the file the last word read came from.
    int line() const {
        const auto index = static_cast<std::size_t>(reader_.line() - 1);
        if (index < fileLines_.size()) return fileLines_[index];
        return fileLines_.empty() ? 0 : fileLines_.back();
    }
    [[noreturn]] void fail(const char* message, int entry) const { throw SyntaxError{{message, entry, line()}}; }

    std::int32_t readPrefixedNumber(const SectionMessages& messages, int entry);
    std::string_view readValueWord(const SectionMessages& messages, int entry);

    WordReader reader_;
    const std::vector<int>& fileLines_;
    std::vector<ScriptDiagnostic>& warnings_;
};

std::int32_t SectionReader::readPrefixedNumber(const SectionMessages& messages, int entry) {
    const auto value = vantor::script_text::prefixedValue(reader_.nextOrEmpty());
    if (!value) fail(messages.notANumber, entry);
    return *value;
}

std::string_view SectionReader::readValueWord(const SectionMessages& messages, int entry) {
    std::string_view word;
    if (!reader_.next(word)) fail(messages.valueMissing, entry);
    return word;
}

ScriptEvent makeEvent(std::int32_t time, std::int32_t kind, std::int32_t effectId, SignalValue value, int line) {
    ScriptEvent event;
    event.time = time;
    event.kind = kind;
    event.effectId = effectId;
    event.value = std::move(value);
    event.line = line;
    return event;
}

// Header, up to SETUP: DEMOSTART and its number, DEMOEND and its time
// expression; the timing words are read from a copy of the reader, so every
// other word is still read here exactly as the demo reads it.
SectionReader::Header SectionReader::readHeader(ScriptTiming& timing) {
    Header header;
    std::string_view word;
    while (reader_.next(word) && word != "SETUP") {
        const int wordLine = line();
        if (word == "DEMOSTART") {
            const auto value = vantor::script_text::prefixedValue(reader_.nextOrEmpty());
            if (!value) fail(kDemoStartNotANumber, -1);
            header.demoStart = *value;
            header.demoStartLine = wordLine;
        } else if (word == "DEMOEND") {
            // A DEMOEND with nothing after it leaves SETUP to end the header.
            WordReader ahead = reader_;
            std::string_view first;
            if (!ahead.next(first) || first == "SETUP") fail(kDemoEndOutside, -1);
            reader_ = ahead;
            const std::int32_t end = vantor::script_text::readTimeExpression(reader_, first);
            if (end <= 0 || end > kDemoEndTime) fail(kDemoEndOutside, -1);
            header.demoEnd = end;
            header.demoEndLine = wordLine;
        } else {
            readTimingWord(word, reader_, wordLine, timing, warnings_);
        }
    }
    if (header.demoEnd != 0 && header.demoEnd <= header.demoStart)
        throw SyntaxError{{kDemoEndBeforeStart, -1, header.demoEndLine}};
    return header;
}

// Setup entries, up to TIMELINE: 0 SIGNAL id code text.
void SectionReader::readSetup(std::vector<ScriptEvent>& events) {
    std::string_view word;
    for (int entry = 1; reader_.next(word) && word != "TIMELINE"; ++entry) {
        const int entryLine = line();
        const std::int32_t time = vantor::script_text::decimalValue(word);
        if (time != 0) fail(kSetupTimeNotZero, entry);
        if (reader_.nextOrEmpty() != "SIGNAL") fail(kSetupEventUnknown, entry);
        const std::int32_t id = readPrefixedNumber(kSetupMessages, entry);
        const std::int32_t code = readPrefixedNumber(kSetupMessages, entry);
        const std::string_view value = readValueWord(kSetupMessages, entry);
        if (vantor::script_text::isIntegerWord(value)) fail(kSetupIntegerValue, entry);
        if (events.size() < static_cast<std::size_t>(Script::kMaxSetupEvents))
            events.push_back(
                makeEvent(time, ScriptEvent::Signal, id, SignalValue(code, std::string(value)), entryLine));
    }
}

// Timeline entries, up to LINETIME: time START|END|INIT id, or time SIGNAL id
// code value.
void SectionReader::readTimeline(std::vector<ScriptEvent>& events) {
    std::string_view word;
    for (int entry = 1; reader_.next(word) && word != "LINETIME"; ++entry) {
        const int entryLine = line();
        const std::int32_t time = vantor::script_text::readTimeExpression(reader_, word);
        if (time == 0) fail(kTimelineTimeZero, entry);

        const std::string_view eventWord = reader_.nextOrEmpty();
        std::int32_t kind = 0;
        if (eventWord == "START")
            kind = ScriptEvent::Start;
        else if (eventWord == "END")
            kind = ScriptEvent::End;
        else if (eventWord == "INIT")
            kind = ScriptEvent::Init;
        else if (eventWord == "SIGNAL")
            kind = ScriptEvent::Signal;
        else
            fail(kTimelineEventUnknown, entry);

        const std::int32_t id = readPrefixedNumber(kTimelineMessages, entry);
        SignalValue value;
        if (kind == ScriptEvent::Signal) {
            const std::int32_t code = readPrefixedNumber(kTimelineMessages, entry);
            const std::string_view valueWord = readValueWord(kTimelineMessages, entry);
            if (vantor::script_text::isIntegerWord(valueWord))
                value = SignalValue(code, vantor::script_text::decimalValue(valueWord));
            else
                value = SignalValue(code, std::string(valueWord));
        }
        if (events.size() < static_cast<std::size_t>(Script::kMaxTimelineEvents))
            events.push_back(makeEvent(time, kind, id, std::move(value), entryLine));
    }
}

// The program's end for a reading that failed.
[[noreturn]] void endWith(const ScriptDiagnostic& error) { fatalError(error.message.c_str(), error.number); }

}  // namespace

Script::Script(const char* fileName) {
    ScriptReadResult result = read(fileName);
    if (result.error) endWith(*result.error);
    *this = std::move(*result.script);
}

std::unique_ptr<Script> Script::fromText(std::string_view text) {
    ScriptReadResult result = parseText(text);
    if (result.error) endWith(*result.error);
    return std::move(result.script);
}

ScriptReadResult Script::read(const char* fileName) {
    ppd_file* file = ppd_open(fileName);
    if (!file) return {nullptr, ScriptDiagnostic{kUnreadable, -1, 0}, {}};
    std::string text(file->size, '\0');
    const std::size_t got = file->size ? ppd_read(text.data(), file->size, 1, file) : 1;
    ppd_close(file);
    if (got != 1) return {nullptr, ScriptDiagnostic{kUnreadable, -1, 0}, {}};
    return parseText(text);
}

ScriptReadResult Script::parseText(std::string_view text) {
    ScriptReadResult result;
    std::unique_ptr<Script> script(new Script());
    try {
        script->parse(text, result.warnings);
        result.script = std::move(script);
    } catch (const SyntaxError& error) {
        result.error = error.diagnostic;
    }
    return result;
}

std::int32_t Script::endTime(std::int64_t soundtrackMs) const {
    return demoEnd_ != 0 ? demoEnd_ : defaultShowEnd(soundtrackMs);
}

void Script::parse(std::string_view text, std::vector<ScriptDiagnostic>& warnings) {
    using namespace vantor::script_text;
    DefinesAndText pass1 = removeCommentsAndDefines(text, kMaxDefines);
    const std::string words = substituteDefines(pass1.text, pass1.defines);

    SectionReader reader(words, pass1.lines, warnings);
    const SectionReader::Header header = reader.readHeader(timing_);
    demoStart_ = header.demoStart;
    demoStartLine_ = header.demoStartLine;
    demoEnd_ = header.demoEnd;
    demoEndLine_ = header.demoEndLine;
    reader.readSetup(setup_);
    reader.readTimeline(timeline_);
    defines_ = std::move(pass1.defines);
}
