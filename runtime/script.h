// The timeline script: what the demo shows and when, as events addressed to
// effect ids at music milliseconds.
//
// Every entry keeps the line of the file it stands on, so an author sees where
// an event, a DEFINE or a header word came from. The demo reads a script with
// the constructor and ends on any error; author tools read it with read() or
// parseText() and get the error (with its line) back instead.
#pragma once

#include "runtime/script_diagnostic.h"
#include "runtime/script_text.h"
#include "runtime/script_timing.h"
#include "runtime/signal_value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One parsed event. Setup events have time 0 and kind 4.
struct ScriptEvent {
    enum Kind : std::int32_t { Start = 1, End = 2, Init = 3, Signal = 4 };

    std::int32_t time = 0;
    std::int32_t kind = 0;
    std::int32_t effectId = 0;
    SignalValue value;
    int line = 0;  // the line of the file the entry begins on; 0 for assembled events
    // The entry's words as the script wrote them, before DEFINEs were
    // substituted: "BAR9 + BEAT1", "FLASH", "ONCE", "0"; empty for assembled
    // events (code and value also for events other than SIGNAL).
    struct Written {
        std::string time, id, code, value;
    } written;

    // The kind as the script writes it ("START", "END", "INIT", "SIGNAL");
    // "?" for a kind the format does not have.
    static const char* kindWord(std::int32_t kind);

    virtual ~ScriptEvent() = default;
};

class Script;

// What reading a script gave: the script, or the error that stopped the
// reading; and warnings about words the demo reads past (a BPM that is not a
// tempo, a MARK without a time, a word in a time that is neither a number nor
// a name, a NUL byte that ends the text, no TIMELINE section).
struct ScriptReadResult {
    std::unique_ptr<Script> script;         // null when error is set
    std::optional<ScriptDiagnostic> error;  // the first error
    std::vector<ScriptDiagnostic> warnings;
    // Every error in file order: the one that stopped the reading, or, read
    // past errors, all of them.
    std::vector<ScriptDiagnostic> errors;
    // Read past errors: the script without the entries at fault, when there
    // were errors (script is null then).
    std::unique_ptr<Script> partial;
};

class Script {
public:
    static constexpr int kMaxDefines = 400;
    static constexpr int kMaxTimelineEvents = 1000;
    static constexpr int kMaxSetupEvents = 1000;

    // Reads the file through the data-file layer and parses it. An unreadable
    // file ends the program with "could not parse script"; syntax errors end it
    // with their own fatal messages.
    explicit Script(const char* fileName);

    // Parses a script held in memory, exactly as the file constructor does.
    static std::unique_ptr<Script> fromText(std::string_view text);

    // As the constructor and fromText, but an error comes back in the result
    // (the same message, plus the line of the file) instead of ending the
    // program.
    static ScriptReadResult read(const char* fileName);
    static ScriptReadResult parseText(std::string_view text);
    // As read and parseText, but reading on past every error: an entry at
    // fault is dropped with the rest of its line, and the next one is read.
    // For the checker, which reports every error of a file in one run.
    static ScriptReadResult readPastErrors(const char* fileName);
    static ScriptReadResult parseTextPastErrors(std::string_view text);

    // A script assembled from already parsed events.
    Script(std::vector<ScriptEvent> setup, std::vector<ScriptEvent> timeline, std::int32_t demoStart)
        : setup_(std::move(setup)), timeline_(std::move(timeline)), demoStart_(demoStart) {}

    const std::vector<ScriptEvent>& timelineEvents() const { return timeline_; }
    const std::vector<ScriptEvent>& setupEvents() const { return setup_; }
    std::int32_t demoStart() const { return demoStart_; }
    // The line of the DEMOSTART that set demoStart; 0 when there is none.
    int demoStartLine() const { return demoStartLine_; }
    // The header's DEMOEND, the music time at which the show ends (after
    // DEMOSTART, at most kDemoEndTime); 0 when the script has none.
    std::int32_t demoEnd() const { return demoEnd_; }
    int demoEndLine() const { return demoEndLine_; }
    // Where the show ends when its soundtrack lasts soundtrackMs (0: not
    // known): at DEMOEND when the script has one, else at kDemoEndTime or at
    // the end of a shorter soundtrack.
    std::int32_t endTime(std::int64_t soundtrackMs) const;
    // The DEFINEs in file order (at most kMaxDefines), each with its line.
    const std::vector<vantor::script_text::DefineRecord>& defines() const { return defines_; }
    // BPM, BEATS and MARKs of the header (defaults when absent).
    const ScriptTiming& timing() const { return timing_; }

private:
    Script() = default;
    // Without errors, throws the syntax error it meets (a type private to the
    // reader); with them, collects every error and reads on.
    void parse(std::string_view text, std::vector<ScriptDiagnostic>& warnings, std::vector<ScriptDiagnostic>* errors);

    std::vector<ScriptEvent> setup_;
    std::vector<ScriptEvent> timeline_;
    std::int32_t demoStart_ = 0;
    int demoStartLine_ = 0;
    std::int32_t demoEnd_ = 0;
    int demoEndLine_ = 0;
    std::vector<vantor::script_text::DefineRecord> defines_;
    ScriptTiming timing_;
};
