#include "libs/ppd/pack/archive_writer.h"

#include "libs/ppd/unrarlib/crc32.h"

#include <ctime>
#include <stdexcept>

namespace ppd_pack {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Fills in the header CRC: the low 16 bits of the CRC of the bytes after it,
// up to crcEnd (the name's end for file headers).
void sealHeader(std::vector<std::uint8_t>& out, std::size_t start, std::size_t crcEnd) {
    const std::uint32_t crc = rar_crc32_of(out.data() + start + 2, crcEnd - start - 2);
    out[start] = static_cast<std::uint8_t>(crc);
    out[start + 1] = static_cast<std::uint8_t>(crc >> 8);
}

}  // namespace

void writeMarker(std::vector<std::uint8_t>& out) {
    static const std::uint8_t marker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    out.insert(out.end(), marker, marker + 7);
}

void writeMainHeader(std::vector<std::uint8_t>& out, bool solid, std::uint16_t extraBytes) {
    const std::size_t start = out.size();
    put16(out, 0);
    out.push_back(0x73);
    put16(out, solid ? 0x0008 : 0);
    put16(out, 13u + extraBytes);
    put16(out, 0);
    put32(out, 0);
    out.insert(out.end(), extraBytes, 0);
    sealHeader(out, start, out.size());
}

void writeFileHeader(std::vector<std::uint8_t>& out, const FileHeaderFields& h) {
    const std::size_t headSize = 32 + h.name.size() + h.extra.size();
    if (headSize > 0xFFFF) throw std::length_error("member name too long for a RAR header");
    const std::size_t start = out.size();
    put16(out, 0);
    out.push_back(0x74);
    put16(out, h.flags);
    put16(out, static_cast<std::uint32_t>(headSize));
    put32(out, h.packSize);
    put32(out, h.unpackedSize);
    out.push_back(h.hostOs);
    put32(out, h.fileCrc);
    put32(out, h.fileTime);
    out.push_back(h.unpackVersion);
    out.push_back(h.method);
    put16(out, static_cast<std::uint32_t>(h.name.size()));
    put32(out, h.attributes);
    out.insert(out.end(), h.name.begin(), h.name.end());
    const std::size_t nameEnd = out.size();
    out.insert(out.end(), h.extra.begin(), h.extra.end());
    sealHeader(out, start, nameEnd);
}

std::uint32_t dosTime(long long unixTime) {
    const std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm local{};
    if (!localtime_r(&t, &local) || local.tm_year < 80) return 0x00210000;
    return static_cast<std::uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 | local.tm_mday << 16 |
                                      local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

}  // namespace ppd_pack
