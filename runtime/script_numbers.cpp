#include "runtime/script_numbers.h"

#include <limits>

namespace vantor::script_text {
namespace {

constexpr std::int64_t kBeyondInt32 = std::int64_t{1} << 32;

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Reads digits of `base` from word[pos...]; the magnitude stops growing once it
// is beyond the 32-bit range, so any length of digits is safe.
std::int64_t readDigits(std::string_view word, std::size_t& pos, int base, bool& any) {
    std::int64_t magnitude = 0;
    any = false;
    for (; pos < word.size() && digitValue(word[pos]) < base; ++pos) {
        any = true;
        if (magnitude < kBeyondInt32) magnitude = magnitude * base + digitValue(word[pos]);
    }
    return magnitude;
}

// Optional sign; returns -1 or +1 and moves past it.
int readSign(std::string_view word, std::size_t& pos) {
    if (pos < word.size() && (word[pos] == '+' || word[pos] == '-')) return word[pos++] == '-' ? -1 : 1;
    return 1;
}

}  // namespace

std::int32_t clampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t decimalValue(std::string_view word) {
    std::size_t pos = 0;
    const int sign = readSign(word, pos);
    bool any = false;
    return clampToInt32(sign * readDigits(word, pos, 10, any));
}

std::optional<std::int32_t> prefixedValue(std::string_view word) {
    std::size_t pos = 0;
    const int sign = readSign(word, pos);
    int base = 10;
    if (pos + 2 < word.size() && word[pos] == '0' && (word[pos + 1] == 'x' || word[pos + 1] == 'X') &&
        digitValue(word[pos + 2]) < 16) {
        base = 16;
        pos += 2;
    } else if (pos < word.size() && word[pos] == '0') {
        base = 8;
    }
    bool any = false;
    const std::int64_t magnitude = readDigits(word, pos, base, any);
    if (!any) return std::nullopt;
    return clampToInt32(sign * magnitude);
}

bool isIntegerWord(std::string_view word) { return decimalValue(word) != 0 || (!word.empty() && word[0] == '0'); }

}  // namespace vantor::script_text
