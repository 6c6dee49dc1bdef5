#include "libs/ppd/unrarlib/audio_predictor.h"

#include "libs/ppd/unrarlib/vector_intrinsics.h"

namespace {

// The sum over 32 bytes of |I - x| (sign -1), |I + x| (sign 1) or |I|
// (sign 0). Each term is at most 1279 and the sum at most 40928, so 16-bit
// lanes hold it exactly.
[[gnu::always_inline]] inline std::uint32_t errorSum(const std::int16_t* scaledError, const std::int16_t* x, int sign) {
    std::uint16_t sum = 0;
    for (int j = 0; j < 32; ++j) {
        const std::int16_t v = static_cast<std::int16_t>(scaledError[j] + sign * x[j]);
        sum = static_cast<std::uint16_t>(sum + (v < 0 ? -v : v));
    }
    return sum;
}

// The smallest error sum, the earliest on ties, and the weight change it
// calls for (sum 0 changes nothing); then the period's last four deltas
// start the next one. (Without branches: which sum wins is as good as
// random.)
[[gnu::always_inline]] inline void changeWeight(rar_audio_state& s, const std::uint32_t dif[11]) {
    for (int n = 0; n < 4; ++n) s.lastDeltas[n] = s.lastDeltas[32 + n];
    std::uint32_t minDif = dif[0];
    int best = 0;
    for (int n = 1; n < 11; ++n) {
        const bool smaller = dif[n] < minDif;
        minDif = smaller ? dif[n] : minDif;
        best = smaller ? n : best;
    }
    if (best > 0) {
        const int k = (best - 1) / 2;
        if (best & 1) {
            if (s.k[k] >= -16) s.k[k] -= 1;
        } else if (s.k[k] < 16) {
            s.k[k] += 1;
        }
    }
}

[[gnu::always_inline]] inline void adjustWeights(rar_audio_state& s) {
    // D1..D4 of each byte of the period, from the last deltas.
    std::int16_t deltas[4][32];
    for (int j = 0; j < 32; ++j) {
        const std::int16_t* l = s.lastDeltas + j;  // l[3] = L1, l[2] = L2, ...
        deltas[0][j] = l[3];
        deltas[1][j] = static_cast<std::int16_t>(l[3] - l[2]);
        deltas[2][j] = static_cast<std::int16_t>(l[2] - l[1]);
        deltas[3][j] = static_cast<std::int16_t>(l[1] - l[0]);
    }
    // Sum 0 is |I|; sums 2k - 1 and 2k are |I - Dk| and |I + Dk| (k = 1..4);
    // sums 9 and 10 are |I - channel delta| and |I + channel delta|.
    std::uint32_t dif[11];
    dif[0] = errorSum(s.scaledError, s.scaledError, 0);
    for (int n = 0; n < 5; ++n) {
        const std::int16_t* x = n < 4 ? deltas[n] : s.channelDeltas;
        dif[2 * n + 1] = errorSum(s.scaledError, x, -1);
        dif[2 * n + 2] = errorSum(s.scaledError, x, 1);
    }
    changeWeight(s, dif);
}

void adjustPlain(rar_audio_state& s) { adjustWeights(s); }

#ifdef RAR_VECTOR_INTRINSICS
// The same steps, compiled for 256-bit vectors.
__attribute__((target("avx2"))) void adjustAvx2(rar_audio_state& s) { adjustWeights(s); }

#define RAR_AVX512 __attribute__((target("avx512f,avx512bw")))

// Halves the terms of each sum held in a and b, and packs both into one
// vector: 256-bit half sums of a, then of b.
RAR_AVX512 inline __m512i foldHalves(__m512i a, __m512i b) {
    return _mm512_add_epi16(_mm512_shuffle_i64x2(a, b, 0x44), _mm512_shuffle_i64x2(a, b, 0xEE));
}
// Vectors of two sums (16 terms each) into one of four sums (8 terms each),
// one per 128-bit block: a's two, then b's two.
RAR_AVX512 inline __m512i foldQuarters(__m512i a, __m512i b) {
    return _mm512_add_epi16(_mm512_shuffle_i64x2(a, b, 0x88), _mm512_shuffle_i64x2(a, b, 0xDD));
}
// Vectors of four sums (8 terms each) into one of eight (4 terms each): in
// 128-bit block i, a's sum i then b's sum i, 64 bits each.
RAR_AVX512 inline __m512i foldEighths(__m512i a, __m512i b) {
    return _mm512_add_epi16(_mm512_unpacklo_epi64(a, b), _mm512_unpackhi_epi64(a, b));
}
// Eight sums of 4 terms each into their totals, one in the low 16 bits of
// each 64-bit element.
RAR_AVX512 inline void finishSums(__m512i v, std::uint64_t out[8]) {
    v = _mm512_add_epi16(v, _mm512_srli_epi64(v, 32));
    v = _mm512_add_epi16(v, _mm512_srli_epi64(v, 16));
    _mm512_storeu_si512(out, v);
}

// The same steps with a period's 32 sixteen-bit terms in one 512-bit
// register per sum, and the eleven sums added up side by side: each fold
// halves the terms of every sum and packs twice as many sums per vector.
RAR_AVX512 void adjustAvx512(rar_audio_state& s) {
    const __m512i i = _mm512_loadu_si512(s.scaledError);
    const __m512i l1 = _mm512_loadu_si512(s.lastDeltas + 3);  // L1 of each byte
    const __m512i l2 = _mm512_loadu_si512(s.lastDeltas + 2);
    const __m512i l3 = _mm512_loadu_si512(s.lastDeltas + 1);
    const __m512i l4 = _mm512_loadu_si512(s.lastDeltas);
    const __m512i x[5] = {l1, _mm512_sub_epi16(l1, l2), _mm512_sub_epi16(l2, l3), _mm512_sub_epi16(l3, l4),
                          _mm512_loadu_si512(s.channelDeltas)};
    // Sum 0 is |I|; sums 2k - 1 and 2k are |I - Dk| and |I + Dk| (k = 1..4);
    // sums 9 and 10 are |I - channel delta| and |I + channel delta|.
    __m512i terms[12];
    terms[0] = _mm512_abs_epi16(i);
    for (int n = 0; n < 5; ++n) {
        terms[2 * n + 1] = _mm512_abs_epi16(_mm512_sub_epi16(i, x[n]));
        terms[2 * n + 2] = _mm512_abs_epi16(_mm512_add_epi16(i, x[n]));
    }
    terms[11] = _mm512_setzero_si512();
    __m512i halves[6];
    for (int n = 0; n < 6; ++n) halves[n] = foldHalves(terms[2 * n], terms[2 * n + 1]);
    const __m512i quarters[3] = {foldQuarters(halves[0], halves[1]), foldQuarters(halves[2], halves[3]),
                                 foldQuarters(halves[4], halves[5])};
    // Sums 0..7, then 8..11: in 64-bit element 2b sum b, in 2b + 1 sum 4 + b.
    std::uint64_t low[8], high[8];
    finishSums(foldEighths(quarters[0], quarters[1]), low);
    finishSums(foldEighths(quarters[2], _mm512_setzero_si512()), high);
    std::uint32_t dif[11];
    for (int b = 0; b < 4; ++b) {
        dif[b] = static_cast<std::uint16_t>(low[2 * b]);
        dif[4 + b] = static_cast<std::uint16_t>(low[2 * b + 1]);
        if (b < 3) dif[8 + b] = static_cast<std::uint16_t>(high[2 * b]);
    }
    changeWeight(s, dif);
}
#endif

using AdjustFunction = void (*)(rar_audio_state&);

AdjustFunction chooseAdjust() {
#ifdef RAR_VECTOR_INTRINSICS
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return adjustAvx512;
    if (__builtin_cpu_supports("avx2")) return adjustAvx2;
#endif
    return adjustPlain;
}

}  // namespace

void rar_audio_adjust(rar_audio_state& s) {
    static const AdjustFunction adjust = chooseAdjust();
    adjust(s);
}
