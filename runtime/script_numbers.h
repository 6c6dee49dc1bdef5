// The three ways the timeline script reads numbers from its words. They differ
// on purpose and must stay different:
//  - times, the words added by "+" and integer signal values are decimal with
//    an optional sign; reading stops at the first other character and a word
//    without digits counts as 0 ("1500ms" is 1500, "abc" is 0);
//  - ids, codes and the DEMOSTART value also take the prefixes 0x / 0X
//    (hexadecimal) and 0 (octal), so "010" is 8 there;
//  - a value word is an integer word when its decimal value is not 0 or it
//    begins with the digit 0 ("0", "-3", "12ab" are; "abc", "-0", "+0" are not).
// Values beyond the 32-bit range are clamped to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantor::script_text {

std::int32_t decimalValue(std::string_view word);

// Empty when the word does not begin with a number at all.
std::optional<std::int32_t> prefixedValue(std::string_view word);

bool isIntegerWord(std::string_view word);

// Clamps to the 32-bit range.
std::int32_t clampToInt32(std::int64_t value);

}  // namespace vantor::script_text
