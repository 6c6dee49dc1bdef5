#include "libs/ppd/unrarlib/crc32.h"

#include <array>

namespace {

// Slicing-by-4 tables: table 0 is the classic byte table, the others let the
// loop consume four bytes per step.
struct CrcTables {
    std::array<std::array<std::uint32_t, 256>, 4> t{};
    CrcTables() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int s = 1; s < 4; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
};

const CrcTables& tables() {
    static const CrcTables instance;
    return instance;
}

}  // namespace

const std::uint32_t* rar_crc_table() {
    return tables().t[0].data();
}

std::uint32_t rar_crc32(std::uint32_t crc, const void* data, std::size_t size) {
    const auto& t = tables().t;
    auto p = static_cast<const unsigned char*>(data);
    while (size >= 4) {
        crc ^= static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        crc = t[3][crc & 0xFF] ^ t[2][(crc >> 8) & 0xFF] ^ t[1][(crc >> 16) & 0xFF] ^ t[0][crc >> 24];
        p += 4;
        size -= 4;
    }
    while (size--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}
