// A time an author types to a tool (vantor-capture's --at, --from and --to,
// author mode's seek), in milliseconds or in the show's own names:
//
//   16875   BAR9   BAR8+BEAT2   BAR8 + BEAT2   drop   drop + 120   DROP
//
// The words are read as the script reads a time expression: its DEFINEs are
// substituted, BARn and BEATn name times of the grid of its BPM and BEATS, and
// the words are summed. A MARK's name stands for the mark's time. Unlike a
// time in the script, "+" needs no blanks around it, and a word that is
// neither a whole number nor a name of the script is an error, not 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class Script;

// Whether the text has the form of a typed time: words joined by "+", each a
// whole decimal number or a name (a letter or "_" first), blanks allowed
// around each word. Tells a time that needs the script to read it from a
// mistake before any script is at hand.
bool isTypedTime(std::string_view text);

struct TypedTime {
    std::optional<std::int32_t> ms;  // sums beyond the 32-bit range are clamped to it
    std::string error;               // when ms is empty: what is wrong, naming the word
};

// Reads the text in the names of `script` (null: numbers only).
TypedTime readTypedTime(std::string_view text, const Script* script);
