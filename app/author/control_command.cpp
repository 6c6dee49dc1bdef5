#include "app/author/control_command.h"

#include "runtime/typed_time.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

ControlCommand invalid(std::string error) {
    ControlCommand command;
    command.error = std::move(error);
    return command;
}

// A music time: decimal digits only, 0 to INT_MAX.
bool readTime(const std::string& word, int& out) {
    if (word.empty() || word.size() > 10) return false;
    for (char c : word)
        if (c < '0' || c > '9') return false;
    const long long value = std::strtoll(word.c_str(), nullptr, 10);
    if (value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

// A step count: an optional sign and decimal digits, not 0, within an int.
bool readCount(const std::string& word, int& out) {
    std::size_t at = word.size() > 0 && (word[0] == '-' || word[0] == '+') ? 1 : 0;
    if (word.size() == at || word.size() - at > 10) return false;
    for (std::size_t i = at; i < word.size(); ++i)
        if (word[i] < '0' || word[i] > '9') return false;
    const long long value = std::strtoll(word.c_str(), nullptr, 10);
    if (value == 0 || value > INT_MAX || value < -INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

// Without the blanks at both ends.
std::string trimmed(const std::string& text) {
    const char* const blanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

ControlCommand parseControlCommand(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) return invalid("empty command");
    const std::string& name = words[0];
    const std::size_t args = words.size() - 1;
    ControlCommand command;
    auto noArguments = [&](ControlCommand::Kind kind) {
        if (args != 0) return invalid(name + " takes no arguments");
        command.kind = kind;
        return command;
    };
    if (name == "pause") return noArguments(ControlCommand::Kind::Pause);
    if (name == "play") return noArguments(ControlCommand::Kind::Play);
    if (name == "reload") return noArguments(ControlCommand::Kind::Reload);
    if (name == "time") return noArguments(ControlCommand::Kind::Time);
    if (name == "quit") return noArguments(ControlCommand::Kind::Quit);
    if (name == "status") return noArguments(ControlCommand::Kind::Status);
    if (name == "step") {
        if (args != 2 || (words[1] != "beat" && words[1] != "bar") || !readCount(words[2], command.from))
            return invalid("step needs beat or bar and a count other than 0: step beat N, step bar -N");
        command.kind = words[1] == "beat" ? ControlCommand::Kind::StepBeats : ControlCommand::Kind::StepBars;
        return command;
    }
    if (name == "mark") {
        if (args != 1) return invalid("mark needs next, prev or a mark's name: mark NAME");
        if (words[1] == "next")
            command.kind = ControlCommand::Kind::MarkNext;
        else if (words[1] == "prev")
            command.kind = ControlCommand::Kind::MarkPrevious;
        else {
            command.kind = ControlCommand::Kind::MarkNamed;
            command.file = words[1];
        }
        return command;
    }
    if (name == "overlay") {
        if (args != 1 || (words[1] != "on" && words[1] != "off")) return invalid("overlay needs on or off");
        command.kind = ControlCommand::Kind::Overlay;
        command.from = words[1] == "on" ? 1 : 0;
        return command;
    }
    if (name == "seek") {
        // The time is the rest of the line: "seek BAR8 + BEAT2" too.
        std::string time = line.substr(line.find("seek") + 4);
        if (args == 1 && readTime(words[1], command.from))
            time.clear();
        else if (args == 0 || time.find_first_not_of("0123456789+ \t\r\n\v\f") == std::string::npos ||
                 !isTypedTime(time))
            return invalid("seek needs a time: seek MS, seek BAR9, seek BAR8+BEAT2, seek MARK");
        command.kind = ControlCommand::Kind::Seek;
        command.time = trimmed(time);
        return command;
    }
    if (name == "loop") {
        if (args == 1 && words[1] == "off") {
            command.kind = ControlCommand::Kind::LoopOff;
            return command;
        }
        if (args != 2 || !readTime(words[1], command.from) || !readTime(words[2], command.to))
            return invalid("loop needs two times in ms: loop A B, or loop off");
        if (command.to <= command.from) return invalid("loop end must lie after its start");
        command.kind = ControlCommand::Kind::Loop;
        return command;
    }
    if (name == "shot") {
        // The file name is the rest of the line, so it may contain blanks.
        const std::size_t at = line.find("shot") + 4;
        std::string file = line.substr(at);
        // Trimmed of the blanks that separate the words (a carriage return
        // among them), at both ends alike: "shot \r" names no file.
        const char* const blanks = " \t\r\n\v\f";
        const auto first = file.find_first_not_of(blanks);
        const auto last = file.find_last_not_of(blanks);
        file = first == std::string::npos ? "" : file.substr(first, last - first + 1);
        if (file.empty()) return invalid("shot needs a file: shot FILE.png");
        command.kind = ControlCommand::Kind::Shot;
        command.file = file;
        return command;
    }
    return invalid("unknown command \"" + name +
                   "\" (seek, pause, play, loop, reload, time, shot, step, mark, overlay, status, quit)");
}
