#include "runtime/typed_time.h"

#include "runtime/script.h"
#include "runtime/script_numbers.h"
#include "runtime/script_text.h"

#include <functional>
#include <vector>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool allDigits(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word)
        if (!isDigit(c)) return false;
    return true;
}

// The words between the "+" signs, each without the blanks around it; an
// empty word where two signs meet or one stands at an end.
std::vector<std::string_view> termsOf(std::string_view text) {
    std::vector<std::string_view> terms;
    for (std::size_t begin = 0;;) {
        const std::size_t plus = text.find('+', begin);
        std::string_view term =
            text.substr(begin, plus == std::string_view::npos ? std::string_view::npos : plus - begin);
        while (!term.empty() && vantor::script_text::isScriptSpace(term.front())) term.remove_prefix(1);
        while (!term.empty() && vantor::script_text::isScriptSpace(term.back())) term.remove_suffix(1);
        terms.push_back(term);
        if (plus == std::string_view::npos) return terms;
        begin = plus + 1;
    }
}

bool isTerm(std::string_view term) {
    if (term.empty()) return false;
    for (char c : term)
        if (vantor::script_text::isScriptSpace(c) || c == '\0') return false;
    return allDigits(term) || isNameStart(term.front());
}

}  // namespace

bool isTypedTime(std::string_view text) {
    for (std::string_view term : termsOf(text))
        if (!isTerm(term)) return false;
    return true;
}

TypedTime readTypedTime(std::string_view text, const Script* script) {
    const std::vector<std::string_view> terms = termsOf(text);
    std::string expression;
    for (std::string_view term : terms) {
        if (!isTerm(term))
            return {std::nullopt, term.empty() ? "a time needs a number or a name on each side of +"
                                               : "`" + std::string(term) + "` is not a time: a time is ms or a name"};
        expression += (expression.empty() ? "" : " + ") + std::string(term);
    }
    // The words as the script's own times read them: DEFINEs first, so a
    // DEFINE wins over a grid name and a mark's name, as in the script.
    if (script) expression = vantor::script_text::substituteDefines(expression, script->defines());

    TimeWordReading grid;
    grid.timing = script ? &script->timing() : nullptr;
    std::string error;
    auto wordValue = [&](std::string_view word) -> std::int32_t {
        if (allDigits(word)) return vantor::script_text::decimalValue(word);
        if (script)
            for (const ScriptMark& mark : script->timing().marks)
                if (mark.name == word) return mark.time;
        if (isGridName(word) && script && script->timing().bpmLine != 0) return grid(word);
        if (error.empty()) {
            if (!script)
                error = "`" + std::string(word) + "` is not a number of ms";
            else if (isGridName(word))
                error = "`" + std::string(word) + "` names a time of the grid, but the script has no BPM";
            else
                error = "`" + std::string(word) + "` is not a number of ms, a MARK or a name of the script";
        }
        return 0;
    };
    vantor::script_text::WordReader reader(expression);
    std::string_view first;
    if (!reader.next(first)) return {std::nullopt, "no time given"};
    const std::int32_t ms = vantor::script_text::readTimeExpression(reader, first, std::cref(wordValue));
    std::string_view rest;
    // A DEFINE whose replacement is several words leaves words after the sum.
    if (error.empty() && reader.next(rest))
        error = "`" + std::string(rest) + "` follows the time: join the words with +";
    if (!error.empty()) return {std::nullopt, error};
    return {ms, {}};
}
