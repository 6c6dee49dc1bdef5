#include "runtime/script_timing.h"

#include "runtime/script_numbers.h"

#include <optional>

namespace {

using vantor::script_text::WordReader;

constexpr const char* kBadBpm = "script: BPM needs a tempo from 20 to 999 beats a minute";
constexpr const char* kBadBeats = "script: BEATS needs a count from 1 to 64 beats a bar";
constexpr const char* kBadMark = "script: MARK needs a name and a time";

// A tempo: decimal digits with an optional fraction ("125", "127.5").
std::optional<double> tempoValue(std::string_view word) {
    double value = 0;
    std::size_t pos = 0;
    bool digits = false;
    for (; pos < word.size() && word[pos] >= '0' && word[pos] <= '9'; ++pos) {
        value = value * 10 + (word[pos] - '0');
        digits = true;
        if (value > ScriptTiming::kMaxBpm) return std::nullopt;
    }
    if (pos < word.size() && word[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < word.size() && word[pos] >= '0' && word[pos] <= '9'; ++pos, scale /= 10) {
            value += (word[pos] - '0') * scale;
            digits = true;
        }
    }
    if (!digits || pos != word.size()) return std::nullopt;
    return value;
}

bool beginsWithNumber(std::string_view word) {
    const std::size_t digit = !word.empty() && (word[0] == '-' || word[0] == '+') ? 1 : 0;
    return digit < word.size() && word[digit] >= '0' && word[digit] <= '9';
}

void warn(std::vector<ScriptDiagnostic>& warnings, const char* message, int line) {
    warnings.push_back({message, -1, line});
}

}  // namespace

bool readTimingWord(std::string_view word, WordReader ahead, int line, ScriptTiming& timing,
                    std::vector<ScriptDiagnostic>& warnings) {
    if (word == "BPM") {
        const auto bpm = tempoValue(ahead.nextOrEmpty());
        if (bpm && *bpm >= ScriptTiming::kMinBpm) {
            timing.bpm = *bpm;
            timing.bpmLine = line;
        } else {
            warn(warnings, kBadBpm, line);
        }
    } else if (word == "BEATS") {
        const auto beats = vantor::script_text::prefixedValue(ahead.nextOrEmpty());
        if (beats && *beats >= 1 && *beats <= ScriptTiming::kMaxBeatsPerBar) {
            timing.beatsPerBar = *beats;
            timing.beatsLine = line;
        } else {
            warn(warnings, kBadBeats, line);
        }
    } else if (word == "MARK") {
        const std::string_view name = ahead.nextOrEmpty();
        const std::string_view first = ahead.nextOrEmpty();
        // The header ends at SETUP whatever a mark says, and DEMOSTART and
        // DEMOEND keep their meaning: none of them can be a name or a time.
        const bool sectionWord = name == "SETUP" || name == "DEMOSTART" || name == "DEMOEND" || first == "SETUP";
        if (!name.empty() && !sectionWord && beginsWithNumber(first))
            timing.marks.push_back({std::string(name), vantor::script_text::readTimeExpression(ahead, first), line});
        else
            warn(warnings, kBadMark, line);
    } else {
        return false;
    }
    return true;
}
