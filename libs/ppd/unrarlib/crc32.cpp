#include "libs/ppd/unrarlib/crc32.h"

#include <array>

namespace {

// Slicing-by-16: table 0 is the classic byte table; table k gives the CRC of
// a byte followed by k zero bytes, so the loop folds sixteen bytes per step
// with sixteen independent lookups instead of sixteen dependent ones.
constexpr int kSlices = 16;

struct CrcTables {
    std::array<std::array<std::uint32_t, 256>, kSlices> t{};
    CrcTables() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int s = 1; s < kSlices; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
};

const CrcTables& tables() {
    static const CrcTables instance;
    return instance;
}

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

const std::uint32_t* rar_crc_table() { return tables().t[0].data(); }

std::uint32_t rar_crc32(std::uint32_t crc, const void* data, std::size_t size) {
    const auto& t = tables().t;
    auto p = static_cast<const unsigned char*>(data);
    while (size >= 16) {
        const std::uint32_t a = le32(p) ^ crc, b = le32(p + 4), c = le32(p + 8), d = le32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
              t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
              t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
              t[0][d >> 24];
        p += 16;
        size -= 16;
    }
    while (size--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}
