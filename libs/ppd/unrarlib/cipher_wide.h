// Decryption of many blocks at once with 512-bit vector instructions, where
// the processor has them (byte permutes among them): sixteen blocks go
// through the rounds side by side, one block per 32-bit lane. The results
// and the key left behind are those of decrypting block after block.
#pragma once

#include "libs/ppd/unrarlib/cipher.h"

#include <cstddef>

// Blocks decrypted side by side in one group.
constexpr std::size_t kRarWideBlocks = 16;

// True when this processor (and its system) runs rar_decrypt_wide.
bool rar_wide_cipher_available();

// Decrypts groups * kRarWideBlocks consecutive blocks in place and updates
// the key through all of them. Only when rar_wide_cipher_available().
void rar_decrypt_wide(rar_cipher& cipher, std::uint8_t* blocks, std::size_t groups);
