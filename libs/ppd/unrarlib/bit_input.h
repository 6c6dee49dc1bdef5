// The decompressor's view of a member's packed data: a buffer filled from the
// packed reader and read MSB-first. Reading past the end of the packed data
// yields zero bits; exhausted() says when a stream has gone well past its
// end, which only a damaged stream does, so the decoder can stop.
#pragma once

#include "libs/ppd/unrarlib/packed_reader.h"

#include <cstdint>

class rar_bit_input {
public:
    static constexpr unsigned kSize = 8192;
    // A refill is due once fewer than this many bytes lie ahead of the read
    // position: enough for the longest symbol sequence of one decoding step.
    static constexpr unsigned kReserve = 32;

    explicit rar_bit_input(rar_packed_reader& reader) : reader_(reader) {}

    // Empties the buffer and reads the first block of the member.
    bool start();
    // Tops the buffer up when the read position came close to its end.
    bool refillIfNeeded() {
        return byte_ + kReserve <= kSize ? true : refill();
    }

    unsigned peek16() const {
        const unsigned v = static_cast<unsigned>(buffer_[byte_]) << 16 |
                           static_cast<unsigned>(buffer_[byte_ + 1]) << 8 | buffer_[byte_ + 2];
        return (v >> (8 - bit_)) & 0xFFFF;
    }
    void skip(unsigned bits) {
        byte_ += (bit_ + bits) >> 3;
        bit_ = (bit_ + bits) & 7;
    }
    // n extra bits (1..16) as a number.
    unsigned take(unsigned bits) {
        const unsigned v = peek16() >> (16 - bits);
        skip(bits);
        return v;
    }

    // Bytes of packed data left, counting what the packed reader still holds.
    bool hasAtLeast(unsigned bytes);
    bool exhausted() const;
    bool readError() const { return readError_; }

private:
    bool refill();

    rar_packed_reader& reader_;
    // Zero padding after the data keeps peek16 inside the buffer.
    std::uint8_t buffer_[kSize + 8] = {};
    unsigned byte_ = 0;
    unsigned bit_ = 0;
    unsigned top_ = 0;          // valid bytes in buffer_
    bool endOfData_ = false;    // the packed reader has nothing more
    bool readError_ = false;
    std::uint64_t overrun_ = 0; // bytes consumed past the end of the data, earlier refills
};
