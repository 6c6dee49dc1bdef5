// Fuzzes author mode's control channel: every input is what a client might
// send, cut into lines at '\n' as the channel cuts them, each line read as a
// command. A command is the one its words mean, field by field, as read here
// from the command list in control_command.h (an error exactly when the line
// is not a command; times whole and in order; a step's count signed and not
// 0; a mark's name one word; a seek to a time in the script's names keeps
// its words; a shot's file trimmed and not empty). It reads
// alike with blanks and a carriage return around it, and reads back to
// itself when written out in its plain form.
#include "app/author/control_command.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Kind = ControlCommand::Kind;

void check(bool holds) {
    if (!holds) std::abort();
}

bool same(const ControlCommand& a, const ControlCommand& b) {
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.file == b.file && a.time == b.time &&
           a.error == b.error;
}

bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (!blank(c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// A number of up to ten digits after an optional sign (when allowed), whose
// value fits in an int as the channel takes it; none otherwise.
bool number(const std::string& word, bool signedCount, long long& value) {
    std::size_t at = signedCount && !word.empty() && (word[0] == '-' || word[0] == '+') ? 1 : 0;
    if (word.size() == at || word.size() - at > 10) return false;
    value = 0;
    for (std::size_t i = at; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        value = value * 10 + (word[i] - '0');
    }
    if (word[0] == '-') value = -value;
    return value <= INT_MAX && value >= -INT_MAX;
}

// The line after its first occurrence of word (the command's name), without
// the blanks at both ends.
std::string restAfter(const std::string& line, const char* word) {
    std::size_t first = line.find(word) + std::char_traits<char>::length(word);
    std::size_t last = line.size();
    while (first < last && blank(line[first])) ++first;
    while (last > first && blank(line[last - 1])) --last;
    return line.substr(first, last - first);
}

// A time in the script's names, as its form is described: terms joined by
// "+", each a whole number or a name (a letter or "_" first) with blanks
// around it and none (nor a NUL) inside. A sum of numbers alone is not one:
// a time in ms is one number.
bool namedTime(const std::string& text) {
    bool named = false;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t plus = text.find('+', begin);
        std::size_t first = begin, last = plus == std::string::npos ? text.size() : plus;
        while (first < last && blank(text[first])) ++first;
        while (last > first && blank(text[last - 1])) --last;
        if (first == last) return false;
        bool digits = true;
        for (std::size_t i = first; i < last; ++i) {
            if (blank(text[i]) || text[i] == '\0') return false;
            digits = digits && text[i] >= '0' && text[i] <= '9';
        }
        const char lead = text[first];
        if (!digits && !std::isalpha(static_cast<unsigned char>(lead)) && lead != '_') return false;
        named = named || !digits;
        if (plus == std::string::npos) return named;
        begin = plus + 1;
    }
}

// The command the line's words mean; the error text is the parser's own
// and is only required to be there.
ControlCommand meant(const std::string& line) {
    const std::vector<std::string> words = wordsOf(line);
    ControlCommand c;
    if (words.empty()) return c;
    const std::string& name = words[0];
    const std::size_t args = words.size() - 1;
    const auto bare = [&](Kind kind) {
        if (args == 0) c.kind = kind;
        return c;
    };
    if (name == "pause") return bare(Kind::Pause);
    if (name == "play") return bare(Kind::Play);
    if (name == "reload") return bare(Kind::Reload);
    if (name == "time") return bare(Kind::Time);
    if (name == "quit") return bare(Kind::Quit);
    if (name == "status") return bare(Kind::Status);
    long long a = 0, b = 0;
    if (name == "step" && args == 2 && (words[1] == "beat" || words[1] == "bar") && number(words[2], true, a) &&
        a != 0) {
        c.kind = words[1] == "beat" ? Kind::StepBeats : Kind::StepBars;
        c.from = static_cast<int>(a);
    } else if (name == "mark" && args == 1) {
        c.kind = words[1] == "next" ? Kind::MarkNext : words[1] == "prev" ? Kind::MarkPrevious : Kind::MarkNamed;
        if (c.kind == Kind::MarkNamed) c.file = words[1];
    } else if (name == "overlay" && args == 1 && (words[1] == "on" || words[1] == "off")) {
        c.kind = Kind::Overlay;
        c.from = words[1] == "on";
    } else if (name == "seek" && args == 1 && number(words[1], false, a)) {
        c.kind = Kind::Seek;
        c.from = static_cast<int>(a);
    } else if (name == "seek" && args > 0 && namedTime(restAfter(line, "seek"))) {
        c.kind = Kind::Seek;
        c.time = restAfter(line, "seek");
    } else if (name == "loop" && args == 1 && words[1] == "off") {
        c.kind = Kind::LoopOff;
    } else if (name == "loop" && args == 2 && number(words[1], false, a) && number(words[2], false, b) && b > a) {
        c.kind = Kind::Loop;
        c.from = static_cast<int>(a);
        c.to = static_cast<int>(b);
    } else if (name == "shot" && args > 0) {
        c.kind = Kind::Shot;
        c.file = restAfter(line, "shot");
    }
    return c;
}

// The command in the form its description gives; empty for an invalid one.
std::string plain(const ControlCommand& c) {
    switch (c.kind) {
    case Kind::Seek: return "seek " + (c.time.empty() ? std::to_string(c.from) : c.time);
    case Kind::Pause: return "pause";
    case Kind::Play: return "play";
    case Kind::Loop: return "loop " + std::to_string(c.from) + " " + std::to_string(c.to);
    case Kind::LoopOff: return "loop off";
    case Kind::Reload: return "reload";
    case Kind::Time: return "time";
    case Kind::Shot: return "shot " + c.file;
    case Kind::StepBeats: return "step beat " + std::to_string(c.from);
    case Kind::StepBars: return "step bar " + std::to_string(c.from);
    case Kind::MarkNext: return "mark next";
    case Kind::MarkPrevious: return "mark prev";
    case Kind::MarkNamed: return "mark " + c.file;
    case Kind::Overlay: return c.from ? "overlay on" : "overlay off";
    case Kind::Status: return "status";
    case Kind::Quit: return "quit";
    case Kind::Invalid: return {};
    }
    return {};
}

void checkLine(const std::string& line) {
    const ControlCommand command = parseControlCommand(line);
    const bool invalid = command.kind == Kind::Invalid;
    check(invalid != command.error.empty());
    ControlCommand expected = meant(line);
    expected.error = command.error;
    check(same(command, expected));

    check(same(parseControlCommand(" \t" + line + " \r"), command));
    const std::string written = plain(command);
    if (!written.empty()) check(same(parseControlCommand(written), command));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = input.find('\n', start);
        checkLine(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return 0;
}
