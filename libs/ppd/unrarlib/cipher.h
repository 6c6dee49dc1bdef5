// The RAR 2.0 block cipher: 16-byte blocks, 32 rounds of a Feistel-like
// network whose key is chained through every ciphertext block of a member.
// The packer encrypts with the same record, so both sides share one schedule.
#pragma once

#include "libs/ppd/unrarlib/crc32.h"

#include <cstddef>
#include <cstdint>

struct rar_cipher {
    std::uint32_t key[4];
    std::uint8_t subst[256];
    // The substitution of one byte of a word, already in its place:
    // substByte[p][b] = subst[b] << 8p. Derived from subst by rar_set_keys,
    // so a word is substituted with four lookups and no shifts.
    std::uint32_t substByte[4][256];
};

// Derives key and substitution table from a password (at most 255 bytes are
// used). Runs once per encrypted member, so every member starts alike.
void rar_set_keys(rar_cipher& cipher, const char* password);
// Both work in place on one 16-byte block and update the key with the block's
// ciphertext, which chains the blocks of a member together.
void rar_encrypt_block(rar_cipher& cipher, std::uint8_t block[16]);
void rar_decrypt_block(rar_cipher& cipher, std::uint8_t block[16]);
// The key update that chains the blocks: every byte of the block's
// ciphertext folds a CRC table entry into the key word of its position.
inline void rar_update_key(std::uint32_t key[4], const std::uint8_t block[16]) {
    const std::uint32_t* crc = rar_crc_table();
    for (int i = 0; i < 16; i += 4)
        for (int j = 0; j < 4; ++j) key[j] ^= crc[block[i + j]];
}
// rar_decrypt_block on `count` consecutive blocks. The key each block is
// decrypted with follows from the ciphertext before it, so several blocks are
// decrypted side by side (sixteen at a time with wide vector instructions
// where the processor has them).
void rar_decrypt_blocks(rar_cipher& cipher, std::uint8_t* blocks, std::size_t count);
