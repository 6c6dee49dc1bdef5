// Length-limited canonical Huffman codes, assigned the way the RAR 2.0
// decoder expects: shorter codes first, equal lengths in symbol order.
#pragma once

#include <cstdint>
#include <vector>

namespace ppd_pack {

// Code lengths (0 = unused) for the given symbol frequencies, none longer than
// maxLength. At least two symbols always get a code (unused ones are added if
// needed), so every table is a complete prefix code.
std::vector<std::uint8_t> buildCodeLengths(const std::vector<std::uint32_t>& frequencies, unsigned maxLength);

// Canonical code values for the lengths.
std::vector<std::uint16_t> canonicalCodes(const std::vector<std::uint8_t>& lengths);

// Bits needed to code the frequencies with the lengths.
std::uint64_t codedBits(const std::vector<std::uint32_t>& frequencies, const std::vector<std::uint8_t>& lengths);

}  // namespace ppd_pack
