#include "libs/ppd/unrarlib/cipher.h"
#include "libs/ppd/unrarlib/secure_wipe.h"

#include "libs/ppd/unrarlib/cipher_wide.h"
#include "libs/ppd/unrarlib/crc32.h"

#include <cstring>

namespace {

constexpr std::uint32_t kInitialKey[4] = {0xD3A3B879u, 0x3F6D12F7u, 0x7515A235u, 0xA4E7F123u};

constexpr std::uint8_t kInitialSubst[256] = {
    0xd7, 0x13, 0x95, 0x23, 0x49, 0xc5, 0xc0, 0xcd, 0xf9, 0x1c, 0x10, 0x77, 0x30, 0xdd, 0x02, 0x2a, 0xe8, 0x01, 0xb1,
    0xe9, 0x0e, 0x58, 0xdb, 0x19, 0xdf, 0xc3, 0xf4, 0x5a, 0x57, 0xef, 0x99, 0x89, 0xff, 0xc7, 0x93, 0x46, 0x5c, 0x42,
    0xf6, 0x0d, 0xd8, 0x28, 0x3e, 0x1d, 0xd9, 0xe6, 0x56, 0x06, 0x47, 0x18, 0xab, 0xc4, 0x65, 0x71, 0xda, 0x7b, 0x5d,
    0x5b, 0xa3, 0xb2, 0xca, 0x43, 0x2c, 0xeb, 0x6b, 0xfa, 0x4b, 0xea, 0x31, 0xa7, 0x7d, 0xd3, 0x53, 0x72, 0x9d, 0x90,
    0x20, 0xc1, 0x8f, 0x24, 0x9e, 0x7c, 0xf7, 0xbb, 0x59, 0xd6, 0x8d, 0x2f, 0x79, 0xe4, 0x3d, 0x82, 0xd5, 0xc2, 0xae,
    0xfb, 0x61, 0x6e, 0x36, 0xe5, 0x73, 0x39, 0x98, 0x5e, 0x69, 0xf3, 0xd4, 0x37, 0xd1, 0xf5, 0x3f, 0x0b, 0xa4, 0xc8,
    0x1f, 0x9c, 0x51, 0xb0, 0xe3, 0x15, 0x4c, 0x63, 0x8b, 0xbc, 0x7f, 0x11, 0xf8, 0x33, 0xcf, 0x78, 0xbd, 0xd2, 0x08,
    0xe2, 0x29, 0x48, 0xb7, 0xcb, 0x87, 0xa5, 0xa6, 0x3c, 0x62, 0x07, 0x7a, 0x26, 0x9b, 0xaa, 0x45, 0xac, 0xfc, 0xee,
    0x27, 0x86, 0x3b, 0x80, 0xec, 0x1b, 0xf0, 0x50, 0x83, 0x03, 0x55, 0xce, 0x91, 0x4f, 0x9a, 0x8e, 0x9f, 0xdc, 0xc9,
    0x85, 0x4a, 0x40, 0x14, 0x81, 0xe0, 0xb9, 0x8a, 0x67, 0xad, 0xb6, 0x2b, 0x22, 0xfe, 0x52, 0xc6, 0x97, 0xe7, 0xb4,
    0x3a, 0x0a, 0x76, 0x1a, 0x66, 0x0c, 0x32, 0x84, 0x16, 0xbf, 0x88, 0x6f, 0xa2, 0xb3, 0x2d, 0x04, 0x94, 0x6c, 0xa1,
    0x38, 0x4e, 0x7e, 0xf2, 0xde, 0x0f, 0xaf, 0x92, 0x17, 0x21, 0xf1, 0xb5, 0xbe, 0x4d, 0xe1, 0x00, 0x2e, 0xa9, 0xba,
    0x44, 0x5f, 0xed, 0x41, 0x35, 0xd0, 0xfd, 0xa8, 0x09, 0x12, 0x64, 0x34, 0x74, 0xb8, 0xa0, 0x60, 0x6d, 0x25, 0x1e,
    0x6a, 0x8c, 0x68, 0x96, 0x05, 0xcc, 0x75, 0x70, 0x54,
};

std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t loadWord(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void storeWord(std::uint8_t* p, std::uint32_t w) {
    p[0] = static_cast<std::uint8_t>(w);
    p[1] = static_cast<std::uint8_t>(w >> 8);
    p[2] = static_cast<std::uint8_t>(w >> 16);
    p[3] = static_cast<std::uint8_t>(w >> 24);
}

std::uint32_t substWord(const rar_cipher& c, std::uint32_t t) {
    return c.substByte[0][t & 0xFF] | c.substByte[1][(t >> 8) & 0xFF] | c.substByte[2][(t >> 16) & 0xFF] |
           c.substByte[3][t >> 24];
}

void deriveSubstBytes(rar_cipher& c) {
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned p = 0; p < 4; ++p) c.substByte[p][b] = static_cast<std::uint32_t>(c.subst[b]) << (8 * p);
}

// One block's words during the rounds.
struct Words {
    std::uint32_t a, b, c, d;
};

Words load(const std::uint8_t* block, const std::uint32_t key[4]) {
    return {loadWord(block) ^ key[0], loadWord(block + 4) ^ key[1], loadWord(block + 8) ^ key[2],
            loadWord(block + 12) ^ key[3]};
}

void store(std::uint8_t* block, const Words& w, const std::uint32_t key[4]) {
    storeWord(block, w.c ^ key[0]);
    storeWord(block + 4, w.d ^ key[1]);
    storeWord(block + 8, w.a ^ key[2]);
    storeWord(block + 12, w.b ^ key[3]);
}

// Round r on w with key word k.
inline void round(const rar_cipher& c, std::uint32_t k, Words& w) {
    const std::uint32_t ta = w.a ^ substWord(c, (w.c + rotl(w.d, 11)) ^ k);
    const std::uint32_t tb = w.b ^ substWord(c, (w.d ^ rotl(w.c, 17)) + k);
    w = {w.c, w.d, ta, tb};
}

void encryptBlock(rar_cipher& c, std::uint8_t block[16]) {
    Words w = load(block, c.key);
    for (int r = 0; r < 32; ++r) round(c, c.key[r & 3], w);
    store(block, w, c.key);
    rar_update_key(c.key, block);
}

// Decrypts N consecutive blocks at once, their rounds interleaved: block n's
// key is the key updated with the ciphertext of blocks 0..n-1.
template <int N>
void decryptBlocks(rar_cipher& c, std::uint8_t* blocks) {
    std::uint32_t keys[N][4];
    for (int n = 0; n < N; ++n) {
        for (int j = 0; j < 4; ++j) keys[n][j] = c.key[j];
        rar_update_key(c.key, blocks + 16 * n);  // the key after block n
    }
    Words w[N];
    for (int n = 0; n < N; ++n) w[n] = load(blocks + 16 * n, keys[n]);
    for (int r = 31; r >= 0; --r)
        for (int n = 0; n < N; ++n) round(c, keys[n][r & 3], w[n]);
    for (int n = 0; n < N; ++n) store(blocks + 16 * n, w[n], keys[n]);
}

}  // namespace

void rar_encrypt_block(rar_cipher& c, std::uint8_t block[16]) { encryptBlock(c, block); }

void rar_decrypt_block(rar_cipher& c, std::uint8_t block[16]) { decryptBlocks<1>(c, block); }

void rar_decrypt_blocks(rar_cipher& c, std::uint8_t* blocks, std::size_t count) {
    std::size_t n = 0;
    if (count >= kRarWideBlocks && rar_wide_cipher_available()) {
        const std::size_t groups = count / kRarWideBlocks;
        rar_decrypt_wide(c, blocks, groups);
        n = groups * kRarWideBlocks;
    }
    for (; n + 4 <= count; n += 4) decryptBlocks<4>(c, blocks + 16 * n);
    for (; n < count; ++n) decryptBlocks<1>(c, blocks + 16 * n);
}

void rar_set_keys(rar_cipher& c, const char* password) {
    std::memcpy(c.key, kInitialKey, sizeof c.key);
    std::uint8_t buffer[256] = {};
    std::size_t length = password ? std::strlen(password) : 0;
    if (length > 255) length = 255;
    std::memcpy(buffer, password, length);
    std::memcpy(c.subst, kInitialSubst, sizeof c.subst);

    const std::uint32_t* crc = rar_crc_table();
    for (unsigned j = 0; j < 256; ++j) {
        for (std::size_t i = 0; i < length; i += 2) {
            const unsigned n2 = crc[(buffer[i + 1] + j) & 0xFF] & 0xFF;
            unsigned n1 = crc[(buffer[i] - j) & 0xFF] & 0xFF;
            for (unsigned k = 1; n1 != n2; ++k) {
                const unsigned other = (n1 + i + k) & 0xFF;
                const std::uint8_t swap = c.subst[n1];
                c.subst[n1] = c.subst[other];
                c.subst[other] = swap;
                n1 = (n1 + 1) & 0xFF;
            }
        }
    }
    deriveSubstBytes(c);
    for (std::size_t i = 0; i < length; i += 16) rar_encrypt_block(c, buffer + i);
    rar_wipe(buffer, sizeof buffer);
}
