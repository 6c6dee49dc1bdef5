#include "libs/ppd/unrarlib/unpack20.h"

#include "libs/ppd/unrarlib/bit_input.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/rar20_tables.h"

#include <cstring>

namespace {

using namespace rar20;

// One member's decoding run over the shared state.
class Decoder {
public:
    Decoder(rar_unpack_state& s, rar_packed_reader& reader, const rar_unpack_job& job)
        : s_(s), in_(reader), job_(job) {}

    bool run();

private:
    bool readTables();
    void copyMatch(std::uint32_t length, std::uint32_t distance);
    void putByte(std::uint8_t b) {
        s_.window[s_.unpackPos] = b;
        s_.unpackPos = (s_.unpackPos + 1) & kRarWindowMask;
    }
    void flush();
    bool decodeAudioSymbol();
    bool decodeLzSymbol();

    rar_unpack_state& s_;
    rar_bit_input in_;
    const rar_unpack_job& job_;
    std::int64_t remaining_ = 0;
    bool failed_ = false;
};

void resetState(rar_unpack_state& s) {
    s.channelDelta = 0;
    s.currentChannel = 0;
    std::memset(s.audioState, 0, sizeof s.audioState);
    std::memset(s.oldDist, 0, sizeof s.oldDist);
    s.oldDistCounter = 0;
    s.lastDist = 0;
    s.lastLength = 0;
    std::memset(s.oldTable, 0, sizeof s.oldTable);
    s.unpackPos = 0;
    s.writePos = 0;
    s.audio = false;
    s.channels = 1;
    std::memset(s.window, 0, kRarWindowSize);
}

bool Decoder::readTables() {
    if (!in_.refillIfNeeded()) return false;
    const unsigned flags = in_.peek16();
    s_.audio = (flags & 0x8000) != 0;
    if (!(flags & 0x4000)) std::memset(s_.oldTable, 0, sizeof s_.oldTable);
    in_.skip(2);

    unsigned tableSize;
    if (s_.audio) {
        s_.channels = ((flags >> 12) & 3) + 1;
        if (s_.currentChannel >= s_.channels) s_.currentChannel = 0;
        in_.skip(2);
        tableSize = kAudioSymbols * s_.channels;
    } else {
        tableSize = kLzTableSize;
    }

    std::uint8_t codeLengths[19];
    for (auto& length : codeLengths) length = static_cast<std::uint8_t>(in_.take(4));
    rar_make_decode_table(codeLengths, 19, s_.codeLengthTable);

    std::uint8_t table[1028] = {};
    unsigned i = 0;
    while (i < tableSize) {
        if (!in_.refillIfNeeded()) return false;
        if (in_.exhausted()) return false;
        const unsigned symbol = rar_decode_symbol(in_, s_.codeLengthTable);
        if (symbol < 16) {
            table[i] = static_cast<std::uint8_t>((symbol + s_.oldTable[i]) & 0xF);
            ++i;
        } else if (symbol == 16) {
            unsigned n = (in_.peek16() >> 14) + 3;
            in_.skip(2);
            const std::uint8_t previous = i > 0 ? table[i - 1] : 0;
            while (n-- > 0 && i < tableSize) table[i++] = previous;
        } else {
            unsigned n;
            if (symbol == 17) {
                n = (in_.peek16() >> 13) + 3;
                in_.skip(3);
            } else {
                n = (in_.peek16() >> 9) + 11;
                in_.skip(7);
            }
            while (n-- > 0 && i < tableSize) table[i++] = 0;
        }
    }

    if (s_.audio) {
        for (unsigned c = 0; c < s_.channels; ++c)
            rar_make_decode_table(table + c * kAudioSymbols, kAudioSymbols, s_.audioTable[c]);
    } else {
        rar_make_decode_table(table, kLiteralSymbols, s_.literalTable);
        rar_make_decode_table(table + kLiteralSymbols, kDistanceSymbols, s_.distanceTable);
        rar_make_decode_table(table + kLiteralSymbols + kDistanceSymbols, kRepeatSymbols, s_.repeatTable);
    }
    std::memcpy(s_.oldTable, table, sizeof s_.oldTable);
    return true;
}

void Decoder::copyMatch(std::uint32_t length, std::uint32_t distance) {
    s_.oldDist[s_.oldDistCounter++ & 3] = distance;
    s_.lastDist = distance;
    s_.lastLength = length;
    remaining_ -= length;

    std::uint32_t dest = s_.unpackPos;
    std::uint32_t src = (dest - distance) & kRarWindowMask;
    std::uint8_t* w = s_.window;
    // Neither end wraps and the source does not run into the bytes being
    // written (a source behind the window's wrap point lies above the
    // destination and may overlap it, which a forward move handles): one
    // block move.
    if (distance >= length && dest + length <= kRarWindowSize && src + length <= kRarWindowSize) {
        std::memmove(w + dest, w + src, length);
        s_.unpackPos = (dest + length) & kRarWindowMask;
        return;
    }
    while (length-- > 0) {
        w[dest] = w[src];
        dest = (dest + 1) & kRarWindowMask;
        src = (src + 1) & kRarWindowMask;
    }
    s_.unpackPos = dest;
}

void Decoder::flush() {
    if (job_.output && s_.unpackPos != s_.writePos) {
        const std::uint32_t start = s_.writePos;
        const std::uint32_t end = s_.unpackPos;
        const std::uint32_t count = (end - start) & kRarWindowMask;
        std::uint32_t& length = *job_.outputLength;
        if (count > job_.unpackedSize - length) {
            RAR_LOG("Fatal! Buffer overrun during decompression!");
            remaining_ = -1;
            failed_ = true;
        } else if (end > start) {
            std::memcpy(job_.output + length, s_.window + start, count);
            length += count;
        } else {
            const std::uint32_t first = kRarWindowSize - start;
            std::memcpy(job_.output + length, s_.window + start, first);
            std::memcpy(job_.output + length + first, s_.window, end);
            length += count;
        }
    }
    s_.writePos = s_.unpackPos;
}

// One multimedia symbol; false when the stream ends.
bool Decoder::decodeAudioSymbol() {
    const unsigned symbol = rar_decode_symbol(in_, s_.audioTable[s_.currentChannel]);
    if (symbol == 256) return readTables();
    putByte(rar_decode_audio(s_.audioState[s_.currentChannel], s_.channelDelta,
                             static_cast<std::uint8_t>(symbol)));
    if (++s_.currentChannel == s_.channels) s_.currentChannel = 0;
    --remaining_;
    return true;
}

bool Decoder::decodeLzSymbol() {
    const unsigned symbol = rar_decode_symbol(in_, s_.literalTable);
    if (symbol < 256) {
        putByte(static_cast<std::uint8_t>(symbol));
        --remaining_;
    } else if (symbol > 269) {
        const unsigned slot = symbol - 270;
        std::uint32_t length = kLengthBase[slot] + 3;
        if (kLengthBits[slot]) length += in_.take(kLengthBits[slot]);
        const unsigned d = rar_decode_symbol(in_, s_.distanceTable);
        if (d >= kDistanceSymbols) return false;
        std::uint32_t distance = kDistance.base[d] + 1;
        if (kDistance.bits[d]) distance += in_.take(kDistance.bits[d]);
        if (distance >= 0x2000) {
            ++length;
            if (distance >= 0x40000) ++length;
        }
        copyMatch(length, distance);
    } else if (symbol == 269) {
        return readTables();
    } else if (symbol == 256) {
        copyMatch(s_.lastLength, s_.lastDist);
    } else if (symbol < 261) {
        const std::uint32_t distance = s_.oldDist[(s_.oldDistCounter - (symbol - 256)) & 3];
        const unsigned r = rar_decode_symbol(in_, s_.repeatTable);
        if (r >= kRepeatSymbols) return false;
        std::uint32_t length = kLengthBase[r] + 2;
        if (kLengthBits[r]) length += in_.take(kLengthBits[r]);
        if (distance >= 0x101) {
            ++length;
            if (distance >= 0x2000) {
                ++length;
                if (distance >= 0x40000) ++length;
            }
        }
        copyMatch(length, distance);
    } else {
        const unsigned slot = symbol - 261;
        const std::uint32_t distance = kShortBase[slot] + 1 + in_.take(kShortBits[slot]);
        copyMatch(2, distance);
    }
    return true;
}

bool Decoder::run() {
    if (!job_.solid) resetState(s_);
    if (!in_.start()) return false;
    if (!job_.solid && !readTables()) return false;
    remaining_ = static_cast<std::int64_t>(job_.unpackedSize) - 1;

    while (remaining_ >= 0) {
        s_.unpackPos &= kRarWindowMask;
        if (!in_.refillIfNeeded() || in_.exhausted()) {
            failed_ = true;
            break;
        }
        if (((s_.writePos - s_.unpackPos) & kRarWindowMask) < 270 && s_.writePos != s_.unpackPos) flush();
        const bool ok = s_.audio ? decodeAudioSymbol() : decodeLzSymbol();
        if (!ok) {
            failed_ = true;
            break;
        }
    }

    // The stream may end with a table switch that belongs to the next solid
    // member: take it now so that member starts with the right tables.
    if (!failed_ && in_.hasAtLeast(5)) {
        if (s_.audio) {
            if (rar_decode_symbol(in_, s_.audioTable[s_.currentChannel]) == 256) readTables();
        } else if (rar_decode_symbol(in_, s_.literalTable) == 269) {
            readTables();
        }
    }
    flush();
    return !failed_ && !in_.readError();
}

}  // namespace

bool rar_unpack(rar_unpack_state& state, rar_packed_reader& reader, const rar_unpack_job& job) {
    if (job.outputLength) *job.outputLength = 0;
    Decoder decoder(state, reader, job);
    return decoder.run();
}
