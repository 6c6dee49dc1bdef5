// Fuzzes the member cipher and the packed-data reader that decrypts through
// it. An input is
//
//   byte 0     the password's length n: the byte modulo 17, or 300 when it
//              is 0xFF (the key set-up uses at most 255 bytes); a NUL byte in
//              the password ends it earlier
//   n bytes    the password
//   byte       the number k of read requests
//   k bytes    the request sizes (a request of 0 asks for 4 KB, the size the
//              decompressor's reads come in)
//   then the member's encrypted bytes.
//
// Decrypting the blocks in one call (sixteen side by side where the processor
// allows) must give what decrypting them one by one gives, and leave the same
// key; encrypting the plaintext again must give the ciphertext back. The
// packed reader, asked for the member in the given request sizes and then in
// 4 KB requests, must deliver exactly the member's bytes, decrypted the same,
// however the requests fall on the blocks.
#include "libs/ppd/unrarlib/cipher.h"
#include "libs/ppd/unrarlib/packed_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kUsualRequest = 4096;

bool sameCipher(const rar_cipher& a, const rar_cipher& b) { return std::memcmp(a.key, b.key, sizeof a.key) == 0; }

// What the reader must deliver: every whole block decrypted in turn, and a
// last partial block decrypted with zeros after it and cut to its length.
std::vector<std::uint8_t> expectedPlaintext(const rar_cipher& keys, const std::uint8_t* bytes, std::size_t size) {
    rar_cipher one = keys, many = keys;
    std::vector<std::uint8_t> blockwise(bytes, bytes + size), together(blockwise);
    const std::size_t whole = size / 16;
    for (std::size_t i = 0; i < whole; ++i) rar_decrypt_block(one, blockwise.data() + 16 * i);
    rar_decrypt_blocks(many, together.data(), whole);
    if (blockwise != together || !sameCipher(one, many)) std::abort();

    rar_cipher back = keys;
    std::vector<std::uint8_t> again(blockwise);
    for (std::size_t i = 0; i < whole; ++i) rar_encrypt_block(back, again.data() + 16 * i);
    if (!std::equal(again.begin(), again.begin() + static_cast<std::ptrdiff_t>(whole * 16), bytes) ||
        !sameCipher(back, one))
        std::abort();

    if (size % 16) {
        std::uint8_t block[16] = {};
        std::memcpy(block, bytes + whole * 16, size % 16);
        rar_decrypt_block(one, block);
        std::memcpy(blockwise.data() + whole * 16, block, size % 16);
    }
    return blockwise;
}

// The key set-up of a password, done once: most inputs keep the password of
// the input they were made from, and the set-up takes far longer than the
// rest of a run.
const rar_cipher& keysFor(const std::string& password) {
    static std::map<std::string, rar_cipher> known;
    if (known.size() >= 1024) known.clear();
    auto [entry, added] = known.try_emplace(password);
    if (added) rar_set_keys(entry->second, password.c_str());
    return entry->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return -1;
    std::size_t at = 1;
    // The key set-up costs about length x 256 x 128 steps, so most inputs
    // take short passwords; its paths are the same for every length up to 255.
    const std::size_t passwordLength = std::min<std::size_t>(data[0] == 0xFF ? 300 : data[0] % 17, size - at);
    std::string password(reinterpret_cast<const char*>(data + at), passwordLength);
    password.resize(std::strlen(password.c_str()));
    at += passwordLength;
    if (at >= size || password.empty()) return -1;
    const std::uint8_t count = data[at++];
    const std::size_t requestCount = std::min<std::size_t>(count, size - at);
    const std::uint8_t* requests = data + at;
    at += requestCount;
    const std::uint8_t* member = data + at;
    const std::size_t memberSize = size - at;

    const rar_cipher& keys = keysFor(password);
    const std::vector<std::uint8_t> expected = expectedPlaintext(keys, member, memberSize);

    std::FILE* in = memberSize ? fmemopen(const_cast<std::uint8_t*>(member), memberSize, "rb") : nullptr;
    rar_packed_reader reader;
    // The reader keeps the keys of the password it was given first: these.
    reader.initialCipher = keys;
    reader.haveInitialCipher = true;
    rar_begin_member(reader, in, static_cast<std::uint32_t>(memberSize), 20, password.c_str());
    std::vector<std::uint8_t> delivered;
    std::vector<std::uint8_t> chunk(kUsualRequest);
    for (std::size_t i = 0;; ++i) {
        const std::uint32_t want = i < requestCount && requests[i] ? requests[i] : kUsualRequest;
        const long got = rar_read_packed(reader, chunk.data(), want);
        if (got < 0 || static_cast<std::uint32_t>(got) > want) std::abort();
        if (got == 0 && i >= requestCount) break;
        delivered.insert(delivered.end(), chunk.begin(), chunk.begin() + got);
    }
    if (delivered != expected) std::abort();
    if (in) std::fclose(in);
    return 0;
}
