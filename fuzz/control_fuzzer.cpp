// Fuzzes author mode's control channel: every input is what a client might
// send, cut into lines at '\n' as the channel cuts them, each line read as a
// command. A command keeps what the parser promises (an error says what is
// wrong exactly when the line is not a command; times are whole and in
// order; a shot's file is trimmed and not empty), reads alike with blanks
// and a carriage return around it, and reads back to itself when written
// out in its plain form.
#include "app/author/control_command.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool same(const ControlCommand& a, const ControlCommand& b) {
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.file == b.file && a.error == b.error;
}

// The command in the form its description gives; empty for an invalid one
// (and for a command this target does not write out).
std::string plain(const ControlCommand& c) {
    using Kind = ControlCommand::Kind;
    switch (c.kind) {
    case Kind::Seek: return "seek " + std::to_string(c.from);
    case Kind::Pause: return "pause";
    case Kind::Play: return "play";
    case Kind::Loop: return "loop " + std::to_string(c.from) + " " + std::to_string(c.to);
    case Kind::LoopOff: return "loop off";
    case Kind::Reload: return "reload";
    case Kind::Time: return "time";
    case Kind::Shot: return "shot " + c.file;
    case Kind::Quit: return "quit";
    default: return {};  // invalid, or a command without a plain form here
    }
}

bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

void checkLine(const std::string& line) {
    const ControlCommand command = parseControlCommand(line);
    const bool invalid = command.kind == ControlCommand::Kind::Invalid;
    if (invalid == command.error.empty()) std::abort();
    // Times are never negative; a step's count is (a step back).
    const bool counted =
        command.kind == ControlCommand::Kind::StepBeats || command.kind == ControlCommand::Kind::StepBars;
    if ((!counted && command.from < 0) || command.to < 0) std::abort();
    if (command.kind == ControlCommand::Kind::Loop && command.to <= command.from) std::abort();
    if (command.kind == ControlCommand::Kind::Shot &&
        (command.file.empty() || blank(command.file.front()) || blank(command.file.back())))
        std::abort();

    if (!same(parseControlCommand(" \t" + line + " \r"), command)) std::abort();
    const std::string written = plain(command);
    if (!written.empty() && !same(parseControlCommand(written), command)) std::abort();
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
