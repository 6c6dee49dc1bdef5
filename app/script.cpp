// Reading the timeline script: the file through the data-file layer, then
// three passes over its words (comments and DEFINEs out, substitution,
// sections). Every error is fatal and names the entry's position within its
// section.
#include "app/script.h"

#include "app/fatal_error.h"
#include "app/script_numbers.h"
#include "app/script_text.h"
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

// Where a section's errors go: its own messages, with the entry number.
struct SectionMessages {
    const char* notANumber;
    const char* valueMissing;
};
constexpr SectionMessages kSetupMessages{kSetupNotANumber, kSetupValueMissing};
constexpr SectionMessages kTimelineMessages{kTimelineNotANumber, kTimelineValueMissing};

std::int32_t readPrefixedNumber(WordReader& reader, const SectionMessages& messages, int entry) {
    const auto value = vantor::script_text::prefixedValue(reader.nextOrEmpty());
    if (!value) fatalError(messages.notANumber, entry);
    return *value;
}

std::string_view readValueWord(WordReader& reader, const SectionMessages& messages, int entry) {
    std::string_view word;
    if (!reader.next(word)) fatalError(messages.valueMissing, entry);
    return word;
}

ScriptEvent makeEvent(std::int32_t time, std::int32_t kind, std::int32_t effectId, SignalValue value = {}) {
    ScriptEvent event;
    event.time = time;
    event.kind = kind;
    event.effectId = effectId;
    event.value = std::move(value);
    return event;
}

// Header, up to SETUP: only DEMOSTART and its number matter.
std::int32_t readHeader(WordReader& reader) {
    std::int32_t demoStart = 0;
    std::string_view word;
    while (reader.next(word) && word != "SETUP") {
        if (word != "DEMOSTART") continue;
        const auto value = vantor::script_text::prefixedValue(reader.nextOrEmpty());
        if (!value) fatalError(kDemoStartNotANumber, -1);
        demoStart = *value;
    }
    return demoStart;
}

// Setup entries, up to TIMELINE: 0 SIGNAL id code text.
void readSetup(WordReader& reader, std::vector<ScriptEvent>& events) {
    std::string_view word;
    for (int entry = 1; reader.next(word) && word != "TIMELINE"; ++entry) {
        const std::int32_t time = vantor::script_text::decimalValue(word);
        if (time != 0) fatalError(kSetupTimeNotZero, entry);
        if (reader.nextOrEmpty() != "SIGNAL") fatalError(kSetupEventUnknown, entry);
        const std::int32_t id = readPrefixedNumber(reader, kSetupMessages, entry);
        const std::int32_t code = readPrefixedNumber(reader, kSetupMessages, entry);
        const std::string_view value = readValueWord(reader, kSetupMessages, entry);
        if (vantor::script_text::isIntegerWord(value)) fatalError(kSetupIntegerValue, entry);
        if (events.size() < static_cast<std::size_t>(Script::kMaxSetupEvents))
            events.push_back(makeEvent(time, ScriptEvent::Signal, id, SignalValue(code, std::string(value))));
    }
}

// A time word followed by any number of "+" word pairs: 1000 + 250 + 50 is
// 1300. The plus sign is a word of its own; whatever follows it in the same
// word is discarded with it.
std::int32_t readTimeExpression(WordReader& reader, std::string_view first) {
    std::int64_t time = vantor::script_text::decimalValue(first);
    reader.skipSpace();
    while (reader.peek() == '+') {
        reader.nextOrEmpty();
        time = vantor::script_text::clampToInt32(time + vantor::script_text::decimalValue(reader.nextOrEmpty()));
        reader.skipSpace();
    }
    return static_cast<std::int32_t>(time);
}

// Timeline entries, up to LINETIME: time START|END|INIT id, or time SIGNAL id
// code value.
void readTimeline(WordReader& reader, std::vector<ScriptEvent>& events) {
    std::string_view word;
    for (int entry = 1; reader.next(word) && word != "LINETIME"; ++entry) {
        const std::int32_t time = readTimeExpression(reader, word);
        if (time == 0) fatalError(kTimelineTimeZero, entry);

        const std::string_view eventWord = reader.nextOrEmpty();
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
            fatalError(kTimelineEventUnknown, entry);

        const std::int32_t id = readPrefixedNumber(reader, kTimelineMessages, entry);
        SignalValue value;
        if (kind == ScriptEvent::Signal) {
            const std::int32_t code = readPrefixedNumber(reader, kTimelineMessages, entry);
            const std::string_view valueWord = readValueWord(reader, kTimelineMessages, entry);
            if (vantor::script_text::isIntegerWord(valueWord))
                value = SignalValue(code, vantor::script_text::decimalValue(valueWord));
            else
                value = SignalValue(code, std::string(valueWord));
        }
        if (events.size() < static_cast<std::size_t>(Script::kMaxTimelineEvents))
            events.push_back(makeEvent(time, kind, id, std::move(value)));
    }
}

}  // namespace

Script::Script(const char* fileName) {
    ppd_file* file = ppd_open(fileName);
    if (!file) fatalError(kUnreadable, -1);
    std::string text(file->size, '\0');
    const std::size_t got = file->size ? ppd_read(text.data(), file->size, 1, file) : 1;
    ppd_close(file);
    if (got != 1) fatalError(kUnreadable, -1);
    parse(text);
}

std::unique_ptr<Script> Script::fromText(std::string_view text) {
    std::unique_ptr<Script> script(new Script());
    script->parse(text);
    return script;
}

void Script::parse(std::string_view text) {
    using namespace vantor::script_text;
    const DefinesAndText pass1 = removeCommentsAndDefines(text, kMaxDefines);
    const std::string words = substituteDefines(pass1.text, pass1.defines);

    WordReader reader(words);
    demoStart_ = readHeader(reader);
    readSetup(reader, setup_);
    readTimeline(reader, timeline_);
}
