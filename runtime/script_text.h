// The text side of the timeline script: words, and the first two reading
// passes (comments and DEFINEs out, then DEFINE substitution).
//
// A word is a maximal run of characters other than space, tab, line feed,
// carriage return, vertical tab and form feed. The script is text: a NUL byte
// ends it. Words and lines of any length are kept whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

    // The line (counted from 1 by line feeds) the last word read stands on; 1
    // before any word.
    int line() const { return wordLine_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int posLine_ = 1;   // the line of the read position
    int wordLine_ = 1;  // the line of the last word read
};

// A time word followed by any number of "+" word pairs: 1000 + 250 + 50 is
// 1300. The plus sign is a word of its own; whatever follows it in the same
// word is discarded with it. Sums are clamped to the 32-bit range.
std::int32_t readTimeExpression(WordReader& reader, std::string_view first);
// As above, with each word's number given by wordValue (a word that is a
// name of a time, say).
std::int32_t readTimeExpression(WordReader& reader, std::string_view first,
                                const std::function<std::int32_t(std::string_view)>& wordValue);

struct DefineRecord {
    std::string name;
    std::string replacement;
    int line = 0;  // the line of the file the word DEFINE stands on
};

struct DefinesAndText {
    std::vector<DefineRecord> defines;  // in file order, at most maxDefines
    std::string text;                   // every other line, one line each
    std::vector<int> lines;             // for each line of text, its line in the file
};

// Pass 1: removes comment lines ("//" as the first word) and DEFINE name
// replacement triples, collecting the DEFINEs. Only the three words of a
// DEFINE are consumed; whatever follows on its line is read like a new line.
DefinesAndText removeCommentsAndDefines(std::string_view text, std::size_t maxDefines);

// Pass 2: replaces every word that equals a DEFINE name (the first in file
// order) by its replacement, once, and joins the words with single spaces.
// Line ends are kept where the text had them, so the n-th line of the result
// holds the words of the n-th line of the text; the words between them read
// the same either way (a line feed is white space like any other).
std::string substituteDefines(std::string_view text, const std::vector<DefineRecord>& defines);

// Where pass 2 put a replacement: its offset in the result and the DEFINE's
// name it stands for, in offset order.
struct Substitution {
    std::size_t offset = 0;
    std::string_view name;  // into the DefineRecord
};
// As above, noting every replacement in substitutions.
std::string substituteDefines(std::string_view text, const std::vector<DefineRecord>& defines,
                              std::vector<Substitution>& substitutions);

}  // namespace vantor::script_text
