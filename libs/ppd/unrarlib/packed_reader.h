// Reads one member's packed data from the archive: never past the member's
// packed size, decrypted when the member is encrypted. Both the stored-member
// copy and the decompressor take their bytes from here.
#pragma once

#include "libs/ppd/unrarlib/cipher.h"

#include <cstdint>
#include <cstdio>

struct rar_packed_reader {
    std::FILE* archive = nullptr;
    std::uint32_t remaining = 0;  // packed bytes not yet taken from the archive
    std::uint32_t bytesRead = 0;  // packed bytes taken from the archive so far
    int cipherMode = 0;           // 0: plain; otherwise the member's unpack version
    rar_cipher cipher{};
    // Decrypted bytes of the last block not yet handed out: a request that
    // ends inside a 16-byte block decrypts the whole block here, never in the
    // caller's buffer past what it asked for.
    std::uint8_t pending[16] = {};
    unsigned pendingPos = 0;
    unsigned pendingSize = 0;
    // The key set-up depends only on the password, which stays the same for
    // a whole extraction, and it is slow: it is done once and copied.
    rar_cipher initialCipher{};
    bool haveInitialCipher = false;
};

// Prepares the reader for a member of packSize bytes at the archive's current
// position; a non-empty password with cipherMode != 0 sets up the keys.
void rar_begin_member(rar_packed_reader& reader, std::FILE* archive, std::uint32_t packSize, int cipherMode,
                      const char* password);

// Copies up to count bytes of packed data into dest. Returns the number of
// bytes delivered (0 at the end of the member), or -1 on a read error.
long rar_read_packed(rar_packed_reader& reader, std::uint8_t* dest, std::uint32_t count);
