#include "libs/ppd/unrarlib/cipher_wide.h"

#include "libs/ppd/unrarlib/vector_intrinsics.h"

#ifdef RAR_VECTOR_INTRINSICS

#define RAR_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace {

// Sixteen blocks' worth of one word, one block per 32-bit lane. The 256
// bytes are read as four vectors of four blocks each and turned into the
// four word vectors by a 4 x 4 transpose inside each 128-bit lane: block
// 4i + L lands in 128-bit lane L, element i. The order does not matter as
// long as data and keys share it, and the transpose is its own inverse, so
// it also puts the words back.
struct WordVectors {
    __m512i w[4];
};

RAR_WIDE_TARGET inline WordVectors transpose(__m512i z0, __m512i z1, __m512i z2, __m512i z3) {
    const __m512i t0 = _mm512_unpacklo_epi32(z0, z1);
    const __m512i t1 = _mm512_unpackhi_epi32(z0, z1);
    const __m512i t2 = _mm512_unpacklo_epi32(z2, z3);
    const __m512i t3 = _mm512_unpackhi_epi32(z2, z3);
    return {{_mm512_unpacklo_epi64(t0, t2), _mm512_unpackhi_epi64(t0, t2), _mm512_unpacklo_epi64(t1, t3),
             _mm512_unpackhi_epi64(t1, t3)}};
}

RAR_WIDE_TARGET inline WordVectors loadWords(const std::uint8_t* p) {
    return transpose(_mm512_loadu_si512(p), _mm512_loadu_si512(p + 64), _mm512_loadu_si512(p + 128),
                     _mm512_loadu_si512(p + 192));
}

RAR_WIDE_TARGET inline void storeWords(std::uint8_t* p, const WordVectors& v) {
    const WordVectors z = transpose(v.w[0], v.w[1], v.w[2], v.w[3]);
    for (int i = 0; i < 4; ++i) _mm512_storeu_si512(p + 64 * i, z.w[i]);
}

// The substitution table in four vectors of 64 entries.
struct SubstVectors {
    __m512i part[4];
};

// subst(T) on every word: each byte b becomes table[b]. One byte permute
// looks up 128 entries (the index's low seven bits); the top bit picks the
// lower or the upper half.
RAR_WIDE_TARGET inline __m512i subst(const SubstVectors& s, __m512i t) {
    const __m512i lower = _mm512_permutex2var_epi8(s.part[0], t, s.part[1]);
    const __m512i upper = _mm512_permutex2var_epi8(s.part[2], t, s.part[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(t), lower, upper);
}

// Decrypts the 16 blocks at p; keys holds each block's key, word by word.
RAR_WIDE_TARGET void decryptGroup(const SubstVectors& s, const std::uint32_t keys[kRarWideBlocks][4], std::uint8_t* p) {
    const WordVectors k = loadWords(reinterpret_cast<const std::uint8_t*>(keys));
    const WordVectors in = loadWords(p);
    // A, B, C, D = words 0 to 3, each XOR its key word.
    __m512i a = _mm512_xor_si512(in.w[0], k.w[0]);
    __m512i b = _mm512_xor_si512(in.w[1], k.w[1]);
    __m512i c = _mm512_xor_si512(in.w[2], k.w[2]);
    __m512i d = _mm512_xor_si512(in.w[3], k.w[3]);
    // Rounds 31 down to 0, each with key word r AND 3.
    for (int r = 31; r >= 0; --r) {
        const __m512i key = k.w[r & 3];
        const __m512i ta =
            _mm512_xor_si512(a, subst(s, _mm512_xor_si512(_mm512_add_epi32(c, _mm512_rol_epi32(d, 11)), key)));
        const __m512i tb =
            _mm512_xor_si512(b, subst(s, _mm512_add_epi32(_mm512_xor_si512(d, _mm512_rol_epi32(c, 17)), key)));
        a = c;
        b = d;
        c = ta;
        d = tb;
    }
    // Written back as C, D, A, B, each XOR key words 0 to 3.
    storeWords(p, {{_mm512_xor_si512(c, k.w[0]), _mm512_xor_si512(d, k.w[1]), _mm512_xor_si512(a, k.w[2]),
                    _mm512_xor_si512(b, k.w[3])}});
}

RAR_WIDE_TARGET void decryptGroups(rar_cipher& cipher, std::uint8_t* blocks, std::size_t groups) {
    SubstVectors s;
    for (int i = 0; i < 4; ++i) s.part[i] = _mm512_loadu_si512(cipher.subst + 64 * i);
    alignas(64) std::uint32_t keys[kRarWideBlocks][4];
    for (std::size_t g = 0; g < groups; ++g) {
        std::uint8_t* p = blocks + 16 * kRarWideBlocks * g;
        // Each block's key is the key updated with the ciphertext before it.
        for (std::size_t n = 0; n < kRarWideBlocks; ++n) {
            for (int j = 0; j < 4; ++j) keys[n][j] = cipher.key[j];
            rar_update_key(cipher.key, p + 16 * n);
        }
        decryptGroup(s, keys, p);
    }
}

}  // namespace

bool rar_wide_cipher_available() {
    static const bool available =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return available;
}

void rar_decrypt_wide(rar_cipher& cipher, std::uint8_t* blocks, std::size_t groups) {
    decryptGroups(cipher, blocks, groups);
}

#else

bool rar_wide_cipher_available() { return false; }

void rar_decrypt_wide(rar_cipher&, std::uint8_t*, std::size_t) {}

#endif
