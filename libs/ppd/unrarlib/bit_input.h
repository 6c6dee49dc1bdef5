// The decompressor's view of a member's packed data, read MSB-first.
//
// Two levels: a byte buffer filled from the packed reader (64 KB, so that a
// large member costs few reads of the archive; the unread rest is moved to
// the front when the read position comes within kReserve bytes of its end), and a 64-bit bit register taken from that
// buffer eight bytes at a time, from which the decoder peeks and skips bits.
// After fill() the register holds at least 56 bits, enough for every field
// of one decoding step (a literal/length code, its extra bits, a distance
// code and its extra bits are at most 51 bits).
//
// Reading past the end of the packed data yields zero bits; exhausted() says
// when a stream has gone well past its end, which only a damaged stream
// does, so the decoder can stop.
#pragma once

#include "libs/ppd/unrarlib/packed_reader.h"

#include <cstdint>
#include <cstring>

// The bit register and where it loads from next. A small value: the
// decoder's inner loops keep a copy in local variables (so the window bytes
// they store cannot be taken to change it) and hand it back afterwards.
struct rar_bit_register {
    std::uint64_t bits = 0;  // the next `count` bits at the top; stream bits or zeros below
    unsigned count = 0;
    unsigned load = 0;  // next buffer byte to go into the register

    // Tops the register up to at least 56 bits from buffer (which has eight
    // readable bytes at every load position the input allows).
    void fill(const std::uint8_t* buffer) {
        std::uint64_t next;
        std::memcpy(&next, buffer + load, 8);
        bits |= bigEndian(next) >> count;
        load += (63 - count) >> 3;
        count |= 56;
    }
    // The next 16 bits of the stream (the register must hold 16).
    unsigned peek16() const { return static_cast<unsigned>(bits >> 48); }
    // The next n (1..16) bits without consuming them.
    unsigned peek(unsigned n) const { return static_cast<unsigned>(bits >> (64 - n)); }
    void skip(unsigned n) {
        bits <<= n;
        count -= n;
    }
    // n extra bits (1..16) as a number.
    unsigned take(unsigned n) {
        const unsigned v = peek(n);
        skip(n);
        return v;
    }

private:
    static std::uint64_t bigEndian(std::uint64_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        return __builtin_bswap64(v);
#else
        return v;
#endif
    }
};

class rar_bit_input {
public:
    static constexpr unsigned kSize = 65536;
    // A buffer refill is due once the register's load position comes within
    // this many bytes of the buffer's end.
    static constexpr unsigned kReserve = 32;
    // How far a damaged stream may read zero bits past the end of its data
    // before it counts as exhausted.
    static constexpr unsigned kOverrunAllowance = 64;

    explicit rar_bit_input(rar_packed_reader& reader) : reader_(reader) {}

    // Empties buffer and register and reads the first block of the member.
    bool start();

    // Call before every decoding step (with the register handed back when a
    // loop kept a copy). Refills the buffer when the read position came close
    // to its end; false on a read error or once the stream has run well past
    // the end of its data. One comparison unless there is work to do.
    bool ready() { return !due(reg) || attend(); }
    // True when ready() has work to do for a register at this position.
    bool due(const rar_bit_register& r) const { return r.load > attentionAt_; }

    // Decoding steps of at most maxBits bits each (one fill each) that may
    // run on this register before ready() is due again; at least 1.
    unsigned stepsBeforeDue(const rar_bit_register& r, unsigned maxBits) const {
        const unsigned at = (r.load * 8 - r.count) >> 3;
        const unsigned steps = at < attentionAt_ ? (attentionAt_ - at) * 8 / maxBits : 0;
        return steps > 0 ? steps : 1;
    }

    void fill() { reg.fill(buffer_); }
    const std::uint8_t* buffer() const { return buffer_; }

    // Bytes of packed data left, counting what the packed reader still holds.
    bool hasAtLeast(unsigned bytes);
    bool exhausted() const;
    bool readError() const { return readError_; }

    rar_bit_register reg;

private:
    bool attend();
    bool refill();
    // Byte of the buffer holding the next unread bit.
    unsigned cursor() const { return (reg.load * 8 - reg.count) >> 3; }

    rar_packed_reader& reader_;
    // Zero padding after the data keeps the register's eight-byte loads
    // inside the buffer however far a damaged stream reads past its end.
    static constexpr unsigned kPadding = kOverrunAllowance + 64;
    std::uint8_t buffer_[kSize + kPadding] = {};
    unsigned top_ = 0;          // valid bytes in buffer_
    unsigned attentionAt_ = 0;  // a load position beyond this calls for attend()
    bool endOfData_ = false;    // the packed reader has nothing more
    bool readError_ = false;
    std::uint64_t overrun_ = 0;  // bytes consumed past the end of the data before earlier refills
};
