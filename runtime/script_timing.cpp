#include "runtime/script_timing.h"

#include "runtime/script_numbers.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace {

using vantor::script_text::WordReader;

constexpr const char* kBadBpm = "is not a tempo: BPM needs 20 to 999 beats a minute";
constexpr const char* kBadBeats = "is not a count: BEATS needs 1 to 64 beats a bar";
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

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "script: WORD message"; an empty word is said as "nothing".
std::string about(std::string_view word, const char* message) {
    return "script: " + (word.empty() ? std::string("nothing") : "`" + std::string(word) + "`") + " " + message;
}

void warn(std::vector<ScriptDiagnostic>& warnings, std::string message, int line, std::string_view word = {}) {
    warnings.push_back({std::move(message), -1, line, std::string(word)});
}

}  // namespace

bool isGridName(std::string_view word) {
    if (word.substr(0, 4) == "BEAT") return allDigits(word.substr(4));
    return word.substr(0, 3) == "BAR" && allDigits(word.substr(3));
}

std::optional<std::int32_t> ScriptTiming::gridTime(std::string_view word) const {
    if (bpmLine == 0 || !isGridName(word)) return std::nullopt;
    const bool bar = word[2] == 'R';
    // n stops growing past the 32-bit range: its time is clamped anyway.
    double n = 0;
    for (char c : word.substr(bar ? 3 : 4)) n = std::min(n * 10 + (c - '0'), 1e10);
    const double ms = n * (bar ? barMs() : beatMs());
    return vantor::script_text::clampToInt32(static_cast<std::int64_t>(std::llround(std::min(ms, 1e15))));
}

std::int32_t TimeWordReading::operator()(std::string_view word) {
    words.push_back(word);
    if (isGridName(word)) {
        if (timing) {
            if (const auto time = timing->gridTime(word)) return *time;
            gridWithoutBpm.push_back(word);
        }
        return 0;
    }
    if (!beginsWithNumber(word)) strayWords.push_back(word);
    return vantor::script_text::decimalValue(word);
}

bool readTimingWord(std::string_view word, WordReader ahead, int line, ScriptTiming& timing, TimeWordReading& times,
                    std::vector<ScriptDiagnostic>& warnings) {
    if (word == "BPM") {
        const std::string_view value = ahead.nextOrEmpty();
        const auto bpm = tempoValue(value);
        if (bpm && *bpm >= ScriptTiming::kMinBpm) {
            timing.bpm = *bpm;
            timing.bpmLine = line;
        } else {
            warn(warnings, about(value, kBadBpm), line, value);
        }
    } else if (word == "BEATS") {
        const std::string_view value = ahead.nextOrEmpty();
        const auto beats = vantor::script_text::prefixedValue(value);
        if (beats && *beats >= 1 && *beats <= ScriptTiming::kMaxBeatsPerBar) {
            timing.beatsPerBar = *beats;
            timing.beatsLine = line;
        } else {
            warn(warnings, about(value, kBadBeats), line, value);
        }
    } else if (word == "MARK") {
        const std::string_view name = ahead.nextOrEmpty();
        const std::string_view first = ahead.nextOrEmpty();
        // The header ends at SETUP whatever a mark says, and DEMOSTART and
        // DEMOEND keep their meaning: none of them can be a name or a time.
        const bool sectionWord = name == "SETUP" || name == "DEMOSTART" || name == "DEMOEND" || first == "SETUP";
        if (!name.empty() && !sectionWord && (beginsWithNumber(first) || isGridName(first)))
            timing.marks.push_back(
                {std::string(name), vantor::script_text::readTimeExpression(ahead, first, std::ref(times)), line});
        else
            warn(warnings, kBadMark, line, "MARK");
    } else {
        return false;
    }
    return true;
}
