// The reflected CRC-32 (polynomial 0xEDB88320) used for member data, header
// checks and the cipher's key schedule.
#pragma once

#include <cstddef>
#include <cstdint>

// The 256-entry lookup table.
const std::uint32_t* rar_crc_table();

// Continues a running CRC value (start with 0xFFFFFFFF; the stored CRC is the
// bitwise inverse of the final value).
std::uint32_t rar_crc32(std::uint32_t running, const void* data, std::size_t size);

// The stored form: inverted CRC-32 of the bytes.
inline std::uint32_t rar_crc32_of(const void* data, std::size_t size) { return ~rar_crc32(0xFFFFFFFFu, data, size); }
