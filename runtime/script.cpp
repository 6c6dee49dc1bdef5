// Reading the timeline script: the file through the data-file layer, then
// three passes over its words (comments and DEFINEs out, substitution,
// sections). An error names the entry's position within its section, the
// line of the file it was found on and the word at fault. The demo stops at
// the first error and ends on it; author tools get it back, and the checker
// reads on past every error to find them all.
#include "runtime/script.h"

#include "runtime/demo_end.h"
#include "runtime/fatal_error.h"
#include "runtime/script_numbers.h"
#include "libs/ppd/ppd.h"

#include <algorithm>
#include <functional>
#include <string>

namespace {

using vantor::script_text::WordReader;

constexpr const char* kUnreadable = "could not parse script";
constexpr const char* kSetupTimeNotZero = "script: not a valid time (should be 0) in setup line #";
constexpr const char* kSetupEventUnknown = "script: event not recognized in setup line #";
constexpr const char* kSetupIntegerValue = "this is probably wrong, adding integer event in setup ";
constexpr const char* kTimelineTimeZero = "script: not a valid(1-maxtime) time in timeline line #";
constexpr const char* kTimelineEventUnknown = "script: event not recognized in timeline line #";
// Outside the format: words where an entry needs a number or a value, and
// the header's DEMOEND.
constexpr const char* kSetupNotANumber = "script: not a valid number in setup line #";
constexpr const char* kTimelineNotANumber = "script: not a valid number in timeline line #";
constexpr const char* kSetupValueMissing = "script: value missing in setup line #";
constexpr const char* kTimelineValueMissing = "script: value missing in timeline line #";
constexpr const char* kDemoStartNotANumber = "script: not a valid DEMOSTART value";
constexpr const char* kDemoEndOutside = "script: DEMOEND needs a time of the show, from 1 to 240000 ms";
constexpr const char* kDemoEndBeforeStart =
    "script: DEMOEND must come after DEMOSTART (the show would end before it begins)";

// Where a section's errors go: its own messages, with the entry number.
struct SectionMessages {
    const char* notANumber;
    const char* valueMissing;
};
constexpr SectionMessages kSetupMessages{kSetupNotANumber, kSetupValueMissing};
constexpr SectionMessages kTimelineMessages{kTimelineNotANumber, kTimelineValueMissing};

// The error that stops an entry; caught per entry when reading past errors,
// else in Script::parseText.
struct SyntaxError {
    ScriptDiagnostic diagnostic;
};

// The third pass: the words after substitution, read section by section, with
// the line of the file each word came from.
//
// Reading past errors (errors given), an entry at fault is dropped, the rest
// of its line is skipped (never a word that closes a section: a section word
// the entry stumbled on is read again as such) and the reading goes on with
// the next entry, so every error is reported once, at its own line.
class SectionReader {
public:
    SectionReader(std::string_view words, const std::vector<vantor::script_text::Substitution>& substitutions,
                  const std::vector<int>& fileLines, std::vector<ScriptDiagnostic>& warnings,
                  std::vector<ScriptDiagnostic>* errors)
        : reader_(words),
          words_(words),
          substitutions_(substitutions),
          fileLines_(fileLines),
          warnings_(warnings),
          errors_(errors) {}

    // The header's DEMOSTART and DEMOEND, each with its line (0: none).
    struct Header {
        std::int32_t demoStart = 0;
        int demoStartLine = 0;
        std::int32_t demoEnd = 0;
        int demoEndLine = 0;
    };
    Header readHeader(ScriptTiming& timing);
    // False when the words ended before TIMELINE.
    bool readSetup(std::vector<ScriptEvent>& events);
    void readTimeline(std::vector<ScriptEvent>& events);
    // The line of the file the last word read came from.
    int line() const { return fileLine(reader_.line()); }

private:
    int fileLine(int wordLine) const {
        const auto index = static_cast<std::size_t>(wordLine - 1);
        if (index < fileLines_.size()) return fileLines_[index];
        return fileLines_.empty() ? 0 : fileLines_.back();
    }
    // The next word, with the reader's state before it kept for recovery.
    bool next(std::string_view& word) {
        before_ = reader_;
        if (!reader_.next(word)) return false;
        last_ = word;
        return true;
    }
    std::string_view nextOrEmpty() {
        std::string_view word;
        return next(word) ? word : std::string_view();
    }
    [[noreturn]] void fail(const char* message, int entry, std::string_view word) const {
        throw SyntaxError{{message, entry, line(), std::string(word)}};
    }
    // Runs one entry. Stopping at errors, an error goes on to the caller;
    // reading past them, it is kept and the reading moves past the entry.
    template <typename Read>
    void entry(Read&& read);
    void skipPast(const ScriptDiagnostic& error);
    // The word that closes the section being read.
    void setClosingWord(std::string_view word) { closing_ = word; }

    std::int32_t readPrefixedNumber(const SectionMessages& messages, int entry);
    std::string_view readValueWord(const SectionMessages& messages, int entry);
    // A time expression, its words read as numbers or grid names; words that
    // are neither are warned about once the entry is good.
    std::int32_t readTime(std::string_view first);
    void warnStrayWords(int line);
    // A word of the text as the script wrote it: the DEFINE's name it
    // replaced, or itself.
    std::string written(std::string_view word) const;
    // The last time expression as written: "BAR9 + BEAT1".
    std::string writtenTime() const;

    WordReader reader_;
    std::string_view words_;
    const std::vector<vantor::script_text::Substitution>& substitutions_;
    WordReader before_{std::string_view()};
    std::string_view last_;
    std::string_view closing_;
    const std::vector<int>& fileLines_;
    std::vector<ScriptDiagnostic>& warnings_;
    std::vector<ScriptDiagnostic>* errors_;
    TimeWordReading times_;
};

template <typename Read>
void SectionReader::entry(Read&& read) {
    if (!errors_) {
        read();
        return;
    }
    try {
        read();
    } catch (const SyntaxError& error) {
        errors_->push_back(error.diagnostic);
        skipPast(error.diagnostic);
    }
}

void SectionReader::skipPast(const ScriptDiagnostic& error) {
    times_.strayWords.clear();
    times_.gridWithoutBpm.clear();
    // The section's closing word, met inside the entry (never its first
    // word: the section ends there), is read again to close the section.
    if (last_ == closing_) {
        reader_ = before_;
        last_ = {};
        return;
    }
    // The words after the one at fault on its line belong to the broken entry.
    std::string_view word;
    for (WordReader ahead = reader_; ahead.next(word) && fileLine(ahead.line()) == error.line && word != closing_;)
        reader_ = ahead;
}

std::int32_t SectionReader::readPrefixedNumber(const SectionMessages& messages, int entry) {
    const std::string_view word = nextOrEmpty();
    const auto value = vantor::script_text::prefixedValue(word);
    if (!value) fail(messages.notANumber, entry, word);
    return *value;
}

std::string_view SectionReader::readValueWord(const SectionMessages& messages, int entry) {
    std::string_view word;
    if (!next(word)) fail(messages.valueMissing, entry, {});
    return word;
}

std::string SectionReader::written(std::string_view word) const {
    if (word.empty() || word.data() < words_.data() || word.data() >= words_.data() + words_.size())
        return std::string(word);
    const auto offset = static_cast<std::size_t>(word.data() - words_.data());
    const auto at =
        std::lower_bound(substitutions_.begin(), substitutions_.end(), offset,
                         [](const vantor::script_text::Substitution& s, std::size_t o) { return s.offset < o; });
    return at != substitutions_.end() && at->offset == offset ? std::string(at->name) : std::string(word);
}

std::string SectionReader::writtenTime() const {
    std::string out;
    for (std::string_view word : times_.words) out += (out.empty() ? "" : " + ") + written(word);
    return out;
}

std::int32_t SectionReader::readTime(std::string_view first) {
    times_.strayWords.clear();
    times_.gridWithoutBpm.clear();
    times_.words.clear();
    return vantor::script_text::readTimeExpression(reader_, first, std::ref(times_));
}

void SectionReader::warnStrayWords(int line) {
    for (std::string_view word : times_.strayWords)
        warnings_.push_back({"script: `" + std::string(word) + "` is not a number or a name: it reads as 0", -1, line,
                             std::string(word)});
    for (std::string_view word : times_.gridWithoutBpm)
        warnings_.push_back(
            {"script: `" + std::string(word) + "` names a time of the grid, but the script has no BPM: it reads as 0",
             -1, line, std::string(word)});
    times_.strayWords.clear();
    times_.gridWithoutBpm.clear();
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
// expression, and the timing words, each read from a copy of the reader, so
// every word is still read here exactly as the demo reads it. BPM and BEATS
// are read first, wherever they stand, so the grid names in the header's own
// times (a MARK's, DEMOEND's) mean the same as in the timeline.
SectionReader::Header SectionReader::readHeader(ScriptTiming& timing) {
    std::string_view word;
    for (WordReader tempo = reader_; tempo.next(word) && word != "SETUP";)
        if (word == "BPM" || word == "BEATS")
            readTimingWord(word, tempo, fileLine(tempo.line()), timing, times_, warnings_);
    times_.timing = &timing;
    setClosingWord("SETUP");

    Header header;
    while (next(word) && word != "SETUP") {
        const int wordLine = line();
        if (word == "DEMOSTART") {
            entry([&] {
                // A DEMOSTART with nothing after it leaves SETUP to end the header.
                WordReader ahead = reader_;
                std::string_view value;
                if (!ahead.next(value) || value == "SETUP") fail(kDemoStartNotANumber, -1, "DEMOSTART");
                const auto start = vantor::script_text::prefixedValue(nextOrEmpty());
                if (!start) fail(kDemoStartNotANumber, -1, last_);
                header.demoStart = *start;
                header.demoStartLine = wordLine;
            });
        } else if (word == "DEMOEND") {
            entry([&] {
                WordReader ahead = reader_;
                std::string_view first;
                if (!ahead.next(first) || first == "SETUP") fail(kDemoEndOutside, -1, "DEMOEND");
                const std::int32_t end = readTime(nextOrEmpty());
                if (end <= 0 || end > kDemoEndTime) fail(kDemoEndOutside, -1, first);
                warnStrayWords(wordLine);
                header.demoEnd = end;
                header.demoEndLine = wordLine;
            });
        } else if (word == "MARK") {
            readTimingWord(word, reader_, wordLine, timing, times_, warnings_);
            warnStrayWords(wordLine);
        }
    }
    if (header.demoEnd != 0 && header.demoEnd <= header.demoStart) {
        const ScriptDiagnostic error{kDemoEndBeforeStart, -1, header.demoEndLine, "DEMOEND"};
        if (!errors_) throw SyntaxError{error};
        errors_->push_back(error);
        header.demoEnd = 0;
        header.demoEndLine = 0;
    }
    return header;
}

// Setup entries, up to TIMELINE: 0 SIGNAL id code text.
bool SectionReader::readSetup(std::vector<ScriptEvent>& events) {
    setClosingWord("TIMELINE");
    std::string_view word;
    for (int n = 1; next(word); ++n) {
        if (word == "TIMELINE") return true;
        entry([&] {
            const int entryLine = line();
            const std::int32_t time = vantor::script_text::decimalValue(word);
            if (time != 0) fail(kSetupTimeNotZero, n, word);
            ScriptEvent::Written words;
            words.time = written(word);
            const std::string_view eventWord = nextOrEmpty();
            if (eventWord != "SIGNAL") fail(kSetupEventUnknown, n, eventWord);
            const std::int32_t id = readPrefixedNumber(kSetupMessages, n);
            words.id = written(last_);
            const std::int32_t code = readPrefixedNumber(kSetupMessages, n);
            words.code = written(last_);
            const std::string_view value = readValueWord(kSetupMessages, n);
            if (vantor::script_text::isIntegerWord(value)) fail(kSetupIntegerValue, n, value);
            words.value = written(value);
            if (events.size() < static_cast<std::size_t>(Script::kMaxSetupEvents)) {
                events.push_back(
                    makeEvent(time, ScriptEvent::Signal, id, SignalValue(code, std::string(value)), entryLine));
                events.back().written = std::move(words);
            }
        });
    }
    return false;
}

// Timeline entries, up to LINETIME: time START|END|INIT id, or time SIGNAL id
// code value.
void SectionReader::readTimeline(std::vector<ScriptEvent>& events) {
    setClosingWord("LINETIME");
    std::string_view word;
    for (int n = 1; next(word) && word != "LINETIME"; ++n) {
        entry([&] {
            const int entryLine = line();
            const std::int32_t time = readTime(word);
            if (time == 0) fail(kTimelineTimeZero, n, word);
            const int timeLine = line();
            ScriptEvent::Written words;
            words.time = writtenTime();

            const std::string_view eventWord = nextOrEmpty();
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
                fail(kTimelineEventUnknown, n, eventWord);

            const std::int32_t id = readPrefixedNumber(kTimelineMessages, n);
            words.id = written(last_);
            SignalValue value;
            if (kind == ScriptEvent::Signal) {
                const std::int32_t code = readPrefixedNumber(kTimelineMessages, n);
                words.code = written(last_);
                const std::string_view valueWord = readValueWord(kTimelineMessages, n);
                words.value = written(valueWord);
                // A grid name is the number of its time, as in a time
                // expression: GLIDE_FROM BAR4, CLEAR_AT BAR2.
                const auto grid = times_.timing ? times_.timing->gridTime(valueWord) : std::nullopt;
                if (vantor::script_text::isIntegerWord(valueWord))
                    value = SignalValue(code, vantor::script_text::decimalValue(valueWord));
                else if (grid)
                    value = SignalValue(code, *grid);
                else
                    value = SignalValue(code, std::string(valueWord));
            }
            warnStrayWords(timeLine);
            if (events.size() < static_cast<std::size_t>(Script::kMaxTimelineEvents)) {
                events.push_back(makeEvent(time, kind, id, std::move(value), entryLine));
                events.back().written = std::move(words);
            }
        });
    }
}

// The line of the first NUL byte of the text (which ends it); 0 without one.
int nulLine(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n'));
}

// A DEFINE that makes a grid name a word that is no time.
void warnTextGridDefines(const std::vector<vantor::script_text::DefineRecord>& defines,
                         std::vector<ScriptDiagnostic>& warnings) {
    for (const auto& d : defines) {
        if (!isGridName(d.name) || isGridName(d.replacement)) continue;
        const std::string_view r = d.replacement;
        const std::size_t digit = !r.empty() && (r[0] == '-' || r[0] == '+') ? 1 : 0;
        if (digit < r.size() && r[digit] >= '0' && r[digit] <= '9') continue;
        warnings.push_back({"script: DEFINE " + d.name + " " + d.replacement + ": `" + d.name +
                                "` names a time of the grid, and this makes it the text `" + d.replacement +
                                "`, which reads as 0 in a time",
                            -1, d.line, d.name});
    }
}

// The program's end for a reading that failed.
[[noreturn]] void endWith(const ScriptDiagnostic& error) { fatalError(error.message.c_str(), error.number); }

// The file's bytes through the data-file layer; false when it cannot be read.
bool readFile(const char* fileName, std::string& text) {
    ppd_file* file = ppd_open(fileName);
    if (!file) return false;
    text.assign(file->size, '\0');
    const std::size_t got = file->size ? ppd_read(text.data(), file->size, 1, file) : 1;
    ppd_close(file);
    return got == 1;
}

}  // namespace

const char* ScriptEvent::kindWord(std::int32_t kind) {
    switch (kind) {
    case Start: return "START";
    case End: return "END";
    case Init: return "INIT";
    case Signal: return "SIGNAL";
    default: return "?";
    }
}

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

namespace {
// What reading a file that cannot be read gives: its one error.
ScriptReadResult unreadableScript() {
    ScriptReadResult result;
    result.error = ScriptDiagnostic{kUnreadable, -1, 0, {}};
    result.errors.push_back(*result.error);
    return result;
}
}  // namespace

ScriptReadResult Script::read(const char* fileName) {
    std::string text;
    if (!readFile(fileName, text)) return unreadableScript();
    return parseText(text);
}

ScriptReadResult Script::readPastErrors(const char* fileName) {
    std::string text;
    if (!readFile(fileName, text)) return unreadableScript();
    return parseTextPastErrors(text);
}

ScriptReadResult Script::parseText(std::string_view text) {
    ScriptReadResult result;
    std::unique_ptr<Script> script(new Script());
    try {
        script->parse(text, result.warnings, nullptr);
        result.script = std::move(script);
    } catch (const SyntaxError& error) {
        result.error = error.diagnostic;
        result.errors.push_back(error.diagnostic);
    }
    return result;
}

ScriptReadResult Script::parseTextPastErrors(std::string_view text) {
    ScriptReadResult result;
    std::unique_ptr<Script> script(new Script());
    script->parse(text, result.warnings, &result.errors);
    if (result.errors.empty()) {
        result.script = std::move(script);
    } else {
        result.error = result.errors.front();
        result.partial = std::move(script);
    }
    return result;
}

std::int32_t Script::endTime(std::int64_t soundtrackMs) const {
    return demoEnd_ != 0 ? demoEnd_ : defaultShowEnd(soundtrackMs);
}

void Script::parse(std::string_view text, std::vector<ScriptDiagnostic>& warnings,
                   std::vector<ScriptDiagnostic>* errors) {
    using namespace vantor::script_text;
    if (const int line = nulLine(text))
        warnings.push_back(
            {"script: a NUL byte on line " + std::to_string(line) + " ends the text: the rest of the file is ignored",
             -1,
             line,
             {}});
    DefinesAndText pass1 = removeCommentsAndDefines(text, kMaxDefines);
    warnTextGridDefines(pass1.defines, warnings);
    std::vector<Substitution> substitutions;
    const std::string words = substituteDefines(pass1.text, pass1.defines, substitutions);

    SectionReader reader(words, substitutions, pass1.lines, warnings, errors);
    const SectionReader::Header header = reader.readHeader(timing_);
    demoStart_ = header.demoStart;
    demoStartLine_ = header.demoStartLine;
    demoEnd_ = header.demoEnd;
    demoEndLine_ = header.demoEndLine;
    if (!reader.readSetup(setup_))
        warnings.push_back({"script: no TIMELINE section: the show has no events", -1, reader.line(), {}});
    reader.readTimeline(timeline_);
    defines_ = std::move(pass1.defines);
}
