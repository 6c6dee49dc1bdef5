#include "libs/ppd/unrarlib/crc32.h"

#include <array>

#include "libs/ppd/unrarlib/vector_intrinsics.h"

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

namespace {

std::uint32_t tableCrc(std::uint32_t crc, const unsigned char* p, std::size_t size) {
    const auto& t = tables().t;
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

#ifdef RAR_VECTOR_INTRINSICS

// Folding with carry-less multiplication, for long runs of bytes. The CRC of
// a message depends only on the message as a polynomial modulo the CRC
// polynomial, so 16-byte blocks far ahead can be multiplied forward onto
// later ones (by x to the distance, modulo the polynomial) until 16 bytes
// remain that the table finishes; four blocks are folded side by side.
//
// A 16-byte block read little-endian holds the coefficient of x^(127 - t) in
// its bit t (the stream's first bit is its highest power). Its low 64 bits
// L and high 64 bits H stand for L x^64 + H, so moving it d bits forward
// makes L x^(64 + d) + H x^d. A 64 x 64-bit carry-less product of values laid
// out this way lands one bit short of the block's layout, which one more
// power of x makes up: the multipliers are x^(63 + d) and x^(d - 1) modulo
// the polynomial, each with the coefficient of x^k in bit 63 - k.
constexpr std::uint64_t foldMultiplier(unsigned power) {
    std::uint64_t v = 1;  // x^0, the coefficient of x^k in bit k
    for (unsigned i = 0; i < power; ++i) {
        v <<= 1;
        if (v & (1ull << 32)) v ^= 0x104C11DB7ull;
    }
    std::uint64_t laidOut = 0;
    for (unsigned k = 0; k < 32; ++k)
        if (v & (1ull << k)) laidOut |= 1ull << (63 - k);
    return laidOut;
}

struct FoldMultipliers {
    std::uint64_t low, high;
};
constexpr FoldMultipliers kFold512 = {foldMultiplier(63 + 512), foldMultiplier(512 - 1)};
constexpr FoldMultipliers kFold128 = {foldMultiplier(63 + 128), foldMultiplier(128 - 1)};

__attribute__((target("pclmul,sse2"))) inline __m128i fold(__m128i block, __m128i multipliers, __m128i onto) {
    const __m128i low = _mm_clmulepi64_si128(block, multipliers, 0x00);
    const __m128i high = _mm_clmulepi64_si128(block, multipliers, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), onto);
}

__attribute__((target("pclmul,sse2"))) std::uint32_t foldingCrc(std::uint32_t crc, const unsigned char* p,
                                                                std::size_t size) {
    auto load = [](const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kFold512.high), static_cast<long long>(kFold512.low));
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kFold128.high), static_cast<long long>(kFold128.low));
    // The running value joins the first four bytes, as the table loop does.
    __m128i a = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i b = load(p + 16), c = load(p + 32), d = load(p + 48);
    p += 64;
    size -= 64;
    for (; size >= 64; p += 64, size -= 64) {
        a = fold(a, by512, load(p));
        b = fold(b, by512, load(p + 16));
        c = fold(c, by512, load(p + 32));
        d = fold(d, by512, load(p + 48));
    }
    __m128i x = fold(fold(fold(a, by128, b), by128, c), by128, d);
    for (; size >= 16; p += 16, size -= 16) x = fold(x, by128, load(p));
    unsigned char rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), x);
    return tableCrc(tableCrc(0, rest, 16), p, size);
}

bool foldingAvailable() {
    static const bool available = __builtin_cpu_supports("pclmul") != 0;
    return available;
}

#endif

}  // namespace

std::uint32_t rar_crc32(std::uint32_t crc, const void* data, std::size_t size) {
    auto p = static_cast<const unsigned char*>(data);
#ifdef RAR_VECTOR_INTRINSICS
    if (size >= 256 && foldingAvailable()) return foldingCrc(crc, p, size);
#endif
    return tableCrc(crc, p, size);
}
