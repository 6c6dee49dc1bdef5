#include "libs/ppd/unrarlib/unpack20.h"

#include "libs/ppd/unrarlib/bit_input.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/rar20_tables.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace rar20;

// The window is flushed to the output once the unpack position comes within
// this many bytes of overtaking the write position: the longest match is
// shorter, so no match can overwrite bytes not yet flushed.
constexpr std::uint32_t kFlushMargin = 270;

// One member's decoding run over the shared state.
class Decoder {
public:
    Decoder(rar_unpack_state& s, rar_packed_reader& reader, const rar_unpack_job& job)
        : s_(s), in_(reader), job_(job) {}

    bool run();

private:
    bool readTables();
    void flush();
    // Main loop step 3 or 4, repeated while no flush, buffer refill or table
    // switch is due (see flushBudget). False when the stream is damaged or
    // ends. Kept out of line: the register allocator then keeps the loop's
    // state in registers.
    [[gnu::noinline]] bool decodeAudioSymbols();
    [[gnu::noinline]] bool decodeLzSymbols();
    std::uint32_t flushBudget() const;
    void copyMatch(std::uint32_t& pos, std::uint32_t length, std::uint32_t distance);

    rar_unpack_state& s_;
    rar_bit_input in_;
    const rar_unpack_job& job_;
    std::int64_t remaining_ = 0;
    bool failed_ = false;
};

void resetState(rar_unpack_state& s) {
    s.channelDelta = 0;
    s.currentChannel = 0;
    for (auto& channel : s.audioChannels) channel.predictor = rar_audio_state();
    std::memset(s.oldDist, 0, sizeof s.oldDist);
    s.oldDistCounter = 0;
    s.lastDist = 0;
    s.lastLength = 0;
    std::memset(s.oldTable, 0, sizeof s.oldTable);
    s.unpackPos = 0;
    s.writePos = 0;
    s.audio = false;
    s.channels = 1;
    // The window is cleared; beyond windowUsed it is still zero.
    std::memset(s.window, 0, s.windowUsed);
    s.windowUsed = 0;
}

bool Decoder::readTables() {
    if (!in_.ready()) return false;
    rar_bit_register& bits = in_.reg;
    in_.fill();
    const unsigned flags = bits.peek16();
    s_.audio = (flags & 0x8000) != 0;
    if (!(flags & 0x4000)) std::memset(s_.oldTable, 0, sizeof s_.oldTable);
    bits.skip(2);

    unsigned tableSize;
    if (s_.audio) {
        s_.channels = ((flags >> 12) & 3) + 1;
        if (s_.currentChannel >= s_.channels) s_.currentChannel = 0;
        bits.skip(2);
        tableSize = kAudioSymbols * s_.channels;
    } else {
        tableSize = kLzTableSize;
    }

    std::uint8_t codeLengths[kCodeLengthSymbols];
    for (auto& length : codeLengths) {
        in_.fill();
        length = static_cast<std::uint8_t>(bits.take(4));
    }
    rar_make_decode_table(codeLengths, kCodeLengthSymbols, s_.codeLengthTable);

    std::uint8_t table[kMaxTableSize] = {};
    unsigned i = 0;
    while (i < tableSize) {
        if (!in_.ready()) return false;
        in_.fill();
        const unsigned symbol = rar_decode_symbol(bits, s_.codeLengthTable);
        if (symbol < 16) {
            table[i] = static_cast<std::uint8_t>((symbol + s_.oldTable[i]) & 0xF);
            ++i;
        } else if (symbol == 16) {
            unsigned n = bits.take(2) + 3;
            const std::uint8_t previous = i > 0 ? table[i - 1] : 0;
            while (n-- > 0 && i < tableSize) table[i++] = previous;
        } else {
            unsigned n = symbol == 17 ? bits.take(3) + 3 : bits.take(7) + 11;
            while (n-- > 0 && i < tableSize) table[i++] = 0;
        }
    }

    if (s_.audio) {
        for (unsigned c = 0; c < s_.channels; ++c)
            rar_make_decode_table(table + c * kAudioSymbols, kAudioSymbols, s_.audioChannels[c].table, kAudioNewTables);
    } else {
        rar_make_decode_table(table, kLiteralSymbols, s_.literalTable);
        rar_make_decode_table(table + kLiteralSymbols, kDistanceSymbols, s_.distanceTable);
        rar_make_decode_table(table + kLiteralSymbols + kDistanceSymbols, kRepeatSymbols, s_.repeatTable);
    }
    std::memcpy(s_.oldTable, table, sizeof s_.oldTable);
    return true;
}

// Byte by byte, as the stream defines a copy: the source may run into the
// bytes being written (a distance below the length repeats a pattern), and
// either end may wrap around the window.
void copyBytes(std::uint8_t* w, std::uint32_t dest, std::uint32_t src, std::uint32_t length) {
    while (length-- > 0) {
        w[dest] = w[src];
        dest = (dest + 1) & kRarWindowMask;
        src = (src + 1) & kRarWindowMask;
    }
}

// The same result for a copy where neither end wraps and source and
// destination lie at least 8 bytes apart either way round (a source ahead
// of the destination is one behind the window's wrap point): eight bytes at
// a time, each block read before it is written, never reading a byte this
// copy writes before or after it should. Nothing past the copy's end is
// touched: those window bytes are the oldest output, which a later match may
// still reach.
void copyWords(std::uint8_t* dest, const std::uint8_t* src, std::uint32_t length) {
    std::uint64_t word;
    if (length >= 8) {
        std::uint32_t done = 0;
        for (; done + 8 <= length; done += 8) {
            std::memcpy(&word, src + done, 8);
            std::memcpy(dest + done, &word, 8);
        }
        if (done < length) {  // the last 8 bytes again, overlapping the done part
            std::memcpy(&word, src + length - 8, 8);
            std::memcpy(dest + length - 8, &word, 8);
        }
    } else if (length >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, src, 4);
        std::memcpy(&tail, src + length - 4, 4);
        std::memcpy(dest, &head, 4);
        std::memcpy(dest + length - 4, &tail, 4);
    } else {
        for (std::uint32_t i = 0; i < length; ++i) dest[i] = src[i];
    }
}

// Copy: the distance joins the old distances and becomes the last distance,
// the length the last length; then `length` bytes are copied from `distance`
// bytes back in the window. The caller takes the length from the remaining
// output.
inline void Decoder::copyMatch(std::uint32_t& pos, std::uint32_t length, std::uint32_t distance) {
    s_.oldDist[s_.oldDistCounter++ & 3] = distance;
    s_.lastDist = distance;
    s_.lastLength = length;

    const std::uint32_t dest = pos;
    const std::uint32_t src = (dest - distance) & kRarWindowMask;
    const std::uint32_t gap = (dest - src) & kRarWindowMask;
    std::uint8_t* w = s_.window;
    if (dest + length <= kRarWindowSize && src + length <= kRarWindowSize) {
        if (gap >= 8 && gap <= kRarWindowSize - 8) {
            copyWords(w + dest, w + src, length);
        } else if (gap == 1) {
            std::memset(w + dest, w[src], length);  // a run of one byte
        } else {
            copyBytes(w, dest, src, length);
        }
    } else {
        copyBytes(w, dest, src, length);
    }
    pos = (dest + length) & kRarWindowMask;
}

void Decoder::flush() {
    const std::uint32_t start = s_.writePos;
    const std::uint32_t end = s_.unpackPos;
    if (end < start)
        s_.windowUsed = kRarWindowSize;
    else if (end > s_.windowUsed)
        s_.windowUsed = end;
    if (job_.output && end != start) {
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

// Output bytes the loops may produce before the main loop's flush test is
// due again: it flushes once the unpack position comes within kFlushMargin
// bytes of the write position, so a loop may continue while it stays
// farther away. A step makes at most 260 bytes, so a loop that stops at the
// budget never comes closer than 10 bytes.
std::uint32_t Decoder::flushBudget() const {
    const std::uint32_t gap = (s_.writePos - s_.unpackPos) & kRarWindowMask;
    const std::uint32_t room = gap == 0 ? kRarWindowSize : gap;
    return room > kFlushMargin ? room - kFlushMargin : 0;
}

using AudioChannel = rar_unpack_state::AudioChannel;

// The multimedia loop's position: bit register, output byte, channel and
// channel delta.
struct AudioCursor {
    rar_bit_register bits;
    std::uint8_t* out;
    AudioChannel* channel;
    std::int32_t channelDelta;
};

// Why the common-case loop stopped.
enum class AudioStop { end, other };

// The common case of the multimedia loop, in a small function of its own
// whose state stays in registers (in locals: window bytes stored through a
// byte pointer could otherwise be taken to change it): codes the quick table
// resolves. Stops at outEnd or before any other symbol. Channels run from
// first to last, cyclically.
//
// A byte that completes 32 bytes of its channel calls for rar_audio_adjust
// before that channel's next byte. With several channels it runs after the
// next byte, which belongs to another channel: the adjustment reads back
// what the period's last byte has just stored, and a byte later those
// stores are less likely still on their way to memory (measured: a few per
// cent faster).
[[gnu::noinline]] AudioStop decodeCommonAudio(AudioCursor& cursor, const std::uint8_t* buffer,
                                              const std::uint8_t* outEnd, AudioChannel* first, AudioChannel* last) {
    rar_bit_register bits = cursor.bits;
    std::uint8_t* out = cursor.out;
    AudioChannel* channel = cursor.channel;
    std::int32_t channelDelta = cursor.channelDelta;
    // One byte; false when the loop stops here.
    AudioStop stop = AudioStop::end;
    AudioChannel* pending = nullptr;  // adjustment due after this byte
    auto step = [&] {
        const unsigned entry = channel->table.quick[bits.peek(rar_decode_table::kQuickBits)];
        if (entry == 0) {  // a long code or the table switch
            stop = AudioStop::other;
            return false;
        }
        bits.skip(entry >> 12);
        rar_audio_state& state = channel->predictor;
        const int predicted = rar_audio_predict(state, channelDelta);
        const bool due = rar_audio_record(state, channelDelta, predicted, entry & 0xFF, out++);
        AudioChannel* const current = channel;
        channel = channel == last ? first : channel + 1;
        if (pending) {
            rar_audio_adjust(pending->predictor);
            pending = nullptr;
        }
        if (due) {
            if (first == last)
                rar_audio_adjust(current->predictor);
            else
                pending = current;
        }
        return out < outEnd;
    };
    // A fill leaves at least 56 bits, enough for two symbols of at most 15.
    while (out < outEnd) {
        bits.fill(buffer);
        if (!step() || !step()) break;
    }
    if (pending) rar_audio_adjust(pending->predictor);
    cursor = {bits, out, channel, channelDelta};
    return stop;
}

// Main loop step 3, one symbol per output byte: the current channel's
// prediction error, turned into the byte by the channel's predictor, or a
// table switch.
bool Decoder::decodeAudioSymbols() {
    AudioChannel* const first = s_.audioChannels;
    AudioChannel* const last = s_.audioChannels + s_.channels - 1;
    AudioCursor c{in_.reg, s_.window + s_.unpackPos, s_.audioChannels + s_.currentChannel, s_.channelDelta};
    std::uint8_t* const start = c.out;
    // As many bytes as remain, no flush is due, the buffer holds (a symbol
    // is at most 15 bits) and the window has before its end.
    std::int64_t count = std::min<std::int64_t>(remaining_ + 1, std::max<std::uint32_t>(flushBudget(), 1));
    count = std::min<std::int64_t>(count, in_.stepsBeforeDue(c.bits, 15));
    count = std::min<std::int64_t>(count, kRarWindowSize - s_.unpackPos);
    const std::uint8_t* const end = start + count;
    bool switchTables = false;
    while (c.out < end) {
        if (decodeCommonAudio(c, in_.buffer(), end, first, last) ==
            AudioStop::other) {  // a long code or a table switch
            c.bits.fill(in_.buffer());
            const unsigned symbol = rar_decode_symbol(c.bits, c.channel->table);
            if (symbol == kAudioNewTables) {
                switchTables = true;
                break;
            }
            *c.out++ = rar_decode_audio(c.channel->predictor, c.channelDelta, static_cast<std::uint8_t>(symbol));
            c.channel = c.channel == last ? first : c.channel + 1;
        }
    }
    remaining_ -= c.out - start;
    in_.reg = c.bits;
    s_.unpackPos = static_cast<std::uint32_t>(c.out - s_.window) & kRarWindowMask;
    s_.currentChannel = static_cast<unsigned>(c.channel - first);
    s_.channelDelta = c.channelDelta;
    return switchTables ? readTables() : true;
}

// Main loop step 4: literal/length symbols and what each brings along, on a
// local copy of the hot state as above.
bool Decoder::decodeLzSymbols() {
    rar_bit_register bits = in_.reg;
    const std::uint8_t* const buffer = in_.buffer();
    std::uint8_t* const window = s_.window;
    std::uint32_t pos = s_.unpackPos;
    const std::uint32_t budget = flushBudget();
    // Steps continue while the remaining output stays at or above 0
    // (produced <= remaining_) and within the flush budget.
    const std::int64_t limit = std::min<std::int64_t>(remaining_ + 1, budget);
    std::int64_t produced = 0;
    bool ok = true;
    bool switchTables = false;
    // At least one step: the main loop calls only when no flush is due.
    do {
        // The register holds enough bits for the whole step (see fill).
        bits.fill(buffer);
        const std::uint32_t before = pos;
        const unsigned symbol = rar_decode_symbol(bits, s_.literalTable);
        if (symbol < 256) {  // a literal byte
            window[pos] = static_cast<std::uint8_t>(symbol);
            pos = (pos + 1) & kRarWindowMask;
        } else if (symbol >= kFirstLength) {  // a new match: length, then distance
            const unsigned slot = symbol - kFirstLength;
            std::uint32_t length = kLengthBase[slot] + 3 + (kLengthBits[slot] ? bits.take(kLengthBits[slot]) : 0);
            const unsigned d = rar_decode_symbol(bits, s_.distanceTable);
            if (d >= kDistanceSymbols) {
                ok = false;
                break;
            }
            const std::uint32_t distance =
                kDistance.base[d] + 1 + (kDistance.bits[d] ? bits.take(kDistance.bits[d]) : 0);
            if (distance >= 0x2000) {
                ++length;
                if (distance >= 0x40000) ++length;
            }
            copyMatch(pos, length, distance);
        } else if (symbol == kNewTables) {
            switchTables = true;
            break;
        } else if (symbol == kRepeatLast) {
            copyMatch(pos, s_.lastLength, s_.lastDist);
        } else if (symbol < kFirstShortDistance) {  // one of the last four distances
            const std::uint32_t distance = s_.oldDist[(s_.oldDistCounter - (symbol - kRepeatLast)) & 3];
            const unsigned r = rar_decode_symbol(bits, s_.repeatTable);
            if (r >= kRepeatSymbols) {
                ok = false;
                break;
            }
            std::uint32_t length = kLengthBase[r] + 2 + (kLengthBits[r] ? bits.take(kLengthBits[r]) : 0);
            if (distance >= 0x101) {
                ++length;
                if (distance >= 0x2000) {
                    ++length;
                    if (distance >= 0x40000) ++length;
                }
            }
            copyMatch(pos, length, distance);
        } else {  // a short distance, length 2
            const unsigned slot = symbol - kFirstShortDistance;
            const std::uint32_t distance = kShortBase[slot] + 1 + bits.take(kShortBits[slot]);
            copyMatch(pos, 2, distance);
        }
        produced += (pos - before) & kRarWindowMask;
    } while (produced < limit && !in_.due(bits));
    remaining_ -= produced;
    in_.reg = bits;
    s_.unpackPos = pos;
    if (switchTables) ok = readTables();
    return ok;
}

bool Decoder::run() {
    if (!job_.solid) resetState(s_);
    if (!in_.start()) return false;
    if (!job_.solid && !readTables()) return false;
    remaining_ = static_cast<std::int64_t>(job_.unpackedSize) - 1;

    while (remaining_ >= 0) {
        s_.unpackPos &= kRarWindowMask;
        if (!in_.ready()) {
            failed_ = true;
            break;
        }
        if (((s_.writePos - s_.unpackPos) & kRarWindowMask) < kFlushMargin && s_.writePos != s_.unpackPos) flush();
        const bool ok = s_.audio ? decodeAudioSymbols() : decodeLzSymbols();
        if (!ok) {
            failed_ = true;
            break;
        }
    }

    // The stream may end with a table switch that belongs to the next solid
    // member: take it now so that member starts with the right tables.
    if (!failed_ && in_.hasAtLeast(5)) {
        in_.fill();
        if (s_.audio) {
            if (rar_decode_symbol(in_, s_.audioChannels[s_.currentChannel].table) == kAudioNewTables) readTables();
        } else if (rar_decode_symbol(in_, s_.literalTable) == kNewTables) {
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
