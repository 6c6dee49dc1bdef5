// What the script reader reports about a script: an error that stops the
// reading, or a warning about a word it read past.
//
// The text is the reader's own message with the entry number appended as
// fatalError shows it ("... in timeline line # 3": the entry's position within
// its section). The line is the line of the file the message is about, so an
// editor can jump to it: "data/script.scr:57: script: event not recognized in
// timeline line # 12".
#pragma once

#include <string>
#include <string_view>

struct ScriptDiagnostic {
    std::string message;  // the reader's message, without the number
    int number = -1;      // the entry within its section; -1: none
    int line = 0;         // the line of the file, from 1; 0: no line (the file could not be read)
    std::string word;     // the word at fault; empty: none (the value was missing)

    // The message as fatalError would show it.
    std::string text() const;
    // The text naming the word at fault when it does not already: "... in
    // timeline line # 12 at `STRAT`".
    std::string described() const;
    // "FILE:LINE: described", "FILE: described" without a line; with a
    // severity ("error", "warning") "FILE:LINE: severity: described".
    std::string located(std::string_view file, std::string_view severity = {}) const;
};
