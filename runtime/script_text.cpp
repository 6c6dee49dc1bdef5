#include "runtime/script_text.h"

#include "runtime/script_numbers.h"

namespace vantor::script_text {

bool isScriptSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

WordReader::WordReader(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

void WordReader::skipSpace() {
    for (; pos_ < text_.size() && isScriptSpace(text_[pos_]); ++pos_)
        if (text_[pos_] == '\n') ++posLine_;
}

bool WordReader::next(std::string_view& word) {
    skipSpace();
    if (pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isScriptSpace(text_[pos_])) ++pos_;
    word = text_.substr(start, pos_ - start);
    wordLine_ = posLine_;
    return true;
}

std::string_view WordReader::nextOrEmpty() {
    std::string_view word;
    return next(word) ? word : std::string_view();
}

std::string_view WordReader::restOfLine() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    const std::string_view rest = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) {  // the line feed
        ++pos_;
        ++posLine_;
    }
    return rest;
}

std::int32_t readTimeExpression(WordReader& reader, std::string_view first) {
    return readTimeExpression(reader, first, decimalValue);
}

std::int32_t readTimeExpression(WordReader& reader, std::string_view first,
                                const std::function<std::int32_t(std::string_view)>& wordValue) {
    std::int64_t time = wordValue(first);
    reader.skipSpace();
    while (reader.peek() == '+') {
        reader.nextOrEmpty();
        time = clampToInt32(time + wordValue(reader.nextOrEmpty()));
        reader.skipSpace();
    }
    return static_cast<std::int32_t>(time);
}

DefinesAndText removeCommentsAndDefines(std::string_view text, std::size_t maxDefines) {
    DefinesAndText result;
    WordReader reader(text);
    std::string_view word;
    while (reader.next(word)) {
        if (word == "DEFINE") {
            const int line = reader.line();
            std::string_view name, replacement;
            if (!reader.next(name) || !reader.next(replacement)) break;
            if (result.defines.size() < maxDefines)
                result.defines.push_back({std::string(name), std::string(replacement), line});
        } else if (word.substr(0, 2) == "//") {
            reader.restOfLine();
        } else {
            result.lines.push_back(reader.line());
            result.text += word;
            result.text += reader.restOfLine();
            result.text += '\n';
        }
    }
    return result;
}

std::string substituteDefines(std::string_view text, const std::vector<DefineRecord>& defines) {
    std::vector<Substitution> substitutions;
    return substituteDefines(text, defines, substitutions);
}

std::string substituteDefines(std::string_view text, const std::vector<DefineRecord>& defines,
                              std::vector<Substitution>& substitutions) {
    std::string result;
    result.reserve(text.size() + text.size() / 4);
    WordReader reader(text);
    std::string_view word;
    int line = 1;
    while (reader.next(word)) {
        for (; line < reader.line(); ++line) result += '\n';
        std::string_view out = word;
        for (const DefineRecord& define : defines) {
            if (define.name == word) {
                out = define.replacement;
                substitutions.push_back({result.size(), define.name});
                break;
            }
        }
        result += out;
        result += ' ';
    }
    return result;
}

}  // namespace vantor::script_text
