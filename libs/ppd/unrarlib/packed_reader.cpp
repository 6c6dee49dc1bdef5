#include "libs/ppd/unrarlib/packed_reader.h"

#include "libs/ppd/unrarlib/debug_log.h"

#include <cstring>

void rar_begin_member(rar_packed_reader& r, std::FILE* archive, std::uint32_t packSize, int cipherMode,
                      const char* password) {
    r.archive = archive;
    r.remaining = packSize;
    r.bytesRead = 0;
    r.cipherMode = cipherMode;
    r.pendingPos = r.pendingSize = 0;
    if (cipherMode == 0) return;
    if (!r.haveInitialCipher) {
        rar_set_keys(r.initialCipher, password);
        r.haveInitialCipher = true;
    }
    r.cipher = r.initialCipher;
}

namespace {

// Takes up to count raw bytes from the archive, within the member.
long readRaw(rar_packed_reader& r, std::uint8_t* dest, std::uint32_t count) {
    if (count > r.remaining) count = r.remaining;
    if (count == 0 || !r.archive) return 0;
    const std::size_t got = std::fread(dest, 1, count, r.archive);
    if (got < count && std::ferror(r.archive)) return -1;
    r.bytesRead += static_cast<std::uint32_t>(got);
    r.remaining -= static_cast<std::uint32_t>(got);
    // A file that ends early behaves like a member whose data ran out.
    if (got < count) r.remaining = 0;
    return static_cast<long>(got);
}

}  // namespace

long rar_read_packed(rar_packed_reader& r, std::uint8_t* dest, std::uint32_t count) {
    if (r.cipherMode == 0) return readRaw(r, dest, count);
    if (r.cipherMode < 20) {
        RAR_LOG("Old Crypt() not supported!");
        return readRaw(r, dest, count);
    }

    std::uint32_t delivered = 0;
    // Left-over plaintext of a block decrypted by an earlier request.
    while (delivered < count && r.pendingPos < r.pendingSize) dest[delivered++] = r.pending[r.pendingPos++];

    // Whole blocks go straight into the caller's buffer.
    const std::uint32_t wholeBlocks = ((count - delivered) / 16) * 16;
    if (wholeBlocks > 0) {
        const long got = readRaw(r, dest + delivered, wholeBlocks);
        if (got < 0) return -1;
        const std::uint32_t full = static_cast<std::uint32_t>(got) & ~15u;
        rar_decrypt_blocks(r.cipher, dest + delivered, full / 16);
        // A member cut short inside a block: decrypt the zero-padded rest so
        // the bytes are at least deterministic (the CRC check rejects them).
        if (static_cast<std::uint32_t>(got) > full) {
            std::uint8_t block[16] = {};
            const std::uint32_t tail = static_cast<std::uint32_t>(got) - full;
            std::memcpy(block, dest + delivered + full, tail);
            rar_decrypt_block(r.cipher, block);
            std::memcpy(dest + delivered + full, block, tail);
        }
        delivered += static_cast<std::uint32_t>(got);
        if (static_cast<std::uint32_t>(got) < wholeBlocks) return delivered;
    }

    // A request ending inside a block: decrypt that block aside and keep the rest.
    if (delivered < count) {
        std::uint8_t block[16] = {};
        const long got = readRaw(r, block, 16);
        if (got < 0) return -1;
        if (got == 0) return delivered;
        rar_decrypt_block(r.cipher, block);
        std::memcpy(r.pending, block, 16);
        r.pendingSize = static_cast<unsigned>(got);
        r.pendingPos = 0;
        while (delivered < count && r.pendingPos < r.pendingSize) dest[delivered++] = r.pending[r.pendingPos++];
    }
    return delivered;
}
