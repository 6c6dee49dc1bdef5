// The text side of the timeline script: words, and the first two reading
// passes (comments and DEFINEs out, then DEFINE substitution).
//
// A word is a maximal run of characters other than space, tab, line feed,
// carriage return, vertical tab and form feed. The script is text: a NUL byte
// ends it. Words and lines of any length are kept whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::script_text {

bool isScriptSpace(char c);

// Reads words from a text that it does not own.
class WordReader {
public:
    explicit WordReader(std::string_view text);

    // Skips white space and returns the next word; false at the end of the text.
    bool next(std::string_view& word);
    // The next word, or an empty one at the end of the text.
    std::string_view nextOrEmpty();

    void skipSpace();
    // The character at the read position; 0 at the end of the text.
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    // The characters from the read position up to the next line feed, which is
    // consumed but not returned.
    std::string_view restOfLine();

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct DefineRecord {
    std::string name;
    std::string replacement;
};

struct DefinesAndText {
    std::vector<DefineRecord> defines;  // in file order, at most maxDefines
    std::string text;                   // every other line, one line each
};

// Pass 1: removes comment lines ("//" as the first word) and DEFINE name
// replacement triples, collecting the DEFINEs. Only the three words of a
// DEFINE are consumed; whatever follows on its line is read like a new line.
DefinesAndText removeCommentsAndDefines(std::string_view text, std::size_t maxDefines);

// Pass 2: replaces every word that equals a DEFINE name (the first in file
// order) by its replacement, once, and joins the words with single spaces.
std::string substituteDefines(std::string_view text, const std::vector<DefineRecord>& defines);

}  // namespace vantor::script_text
