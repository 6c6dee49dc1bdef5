// Writes RAR 2.x archive blocks: the marker, the main header and file
// headers, each with its header CRC.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ppd_pack {

constexpr std::uint8_t kHostMsDos = 0;
constexpr std::uint8_t kMethodStored = 0x30;
constexpr std::uint8_t kMethodNormal = 0x33;
constexpr std::uint16_t kFlagEncrypted = 0x0004;
constexpr std::uint16_t kFlagSolid = 0x0010;
constexpr std::uint16_t kFlagDictionary1M = 0x0080;
constexpr std::uint16_t kFlagLongBlock = 0x8000;

struct FileHeaderFields {
    std::string name;  // as stored (backslash separators)
    std::uint16_t flags = kFlagLongBlock | kFlagDictionary1M;
    std::uint32_t packSize = 0;
    std::uint32_t unpackedSize = 0;
    std::uint8_t hostOs = kHostMsDos;
    std::uint32_t fileCrc = 0;
    std::uint32_t fileTime = 0x00210000;  // 1980-01-01 00:00, MS-DOS form
    std::uint8_t unpackVersion = 20;
    std::uint8_t method = kMethodStored;
    std::uint32_t attributes = 0x20;  // MS-DOS "archive" attribute
    std::vector<std::uint8_t> extra;  // bytes after the name inside the header (comments...)
};

void writeMarker(std::vector<std::uint8_t>& out);
// A main header of 13 bytes plus `extraBytes` zero bytes (header size grows).
void writeMainHeader(std::vector<std::uint8_t>& out, bool solid, std::uint16_t extraBytes = 0);
void writeFileHeader(std::vector<std::uint8_t>& out, const FileHeaderFields& header);

// MS-DOS date and time of a Unix time, in local time.
std::uint32_t dosTime(long long unixTime);

}  // namespace ppd_pack
