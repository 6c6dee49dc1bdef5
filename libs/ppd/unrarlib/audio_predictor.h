// The adaptive linear predictor of the multimedia mode. Each byte channel
// predicts its next byte from the last value and the last four deltas with
// five weights, which are nudged every 32 bytes toward whichever weight would
// have made the smallest error. The decoder and the packer share it, so both
// sides evolve the same state byte for byte.
//
// The decoder runs it for every byte, so the state is laid out for speed:
//
// - The deltas D1..D4 follow from the channel's last four last-deltas L1..L4
//   (L1 the newest): D1 = L1, D2 = L1 - L2, D3 = L2 - L3, D4 = L3 - L4, which
//   is what shifting D1..D4 at every byte (D4 = D3, D3 = D2, D2 = L - D1,
//   D1 = L) keeps. Only the last deltas are kept.
// - The eleven error sums of the candidate weight changes are only looked at
//   every 32 bytes. Instead of adding to each of them at every byte, the
//   state keeps what each byte of the current 32 contributes to them (its
//   error scaled by 8, I, and the channel delta it was predicted with, next
//   to its last delta), and rar_audio_adjust takes the sums from these at
//   once. The sums come out the same.
#pragma once

#include <cstdint>

struct rar_audio_state {
    std::int32_t k[5];  // weights K1..K5
    std::uint32_t byteCount;
    std::int32_t lastChar;  // last value, kept as the full int
    // lastDeltas[4 + n]: the last delta after byte n of the current 32;
    // entries 0..3 hold the four before them. Deltas lie within -255..255,
    // scaled errors within -1024..1016.
    std::int16_t lastDeltas[36];
    std::int16_t scaledError[32];
    std::int16_t channelDeltas[32];
};

// Every 32 bytes: the error sums, the smallest of them and the weight change
// it calls for; then the period's last four deltas start the next one. Out of
// line, built for the widest vector instructions the processor has.
void rar_audio_adjust(rar_audio_state& s);

// The prediction (0..255) for the channel's next byte.
inline int rar_audio_predict(const rar_audio_state& s, std::int32_t channelDelta) {
    const std::int16_t* l = s.lastDeltas + (s.byteCount & 31);  // l[3] = L1 .. l[0] = L4
    const std::int32_t d1 = l[3], d2 = l[3] - l[2], d3 = l[2] - l[1], d4 = l[1] - l[0];
    const std::int32_t sum =
        8 * s.lastChar + s.k[0] * d1 + s.k[1] * d2 + s.k[2] * d3 + s.k[3] * d4 + s.k[4] * channelDelta;
    return (sum >> 3) & 0xFF;
}

// Takes the sent error byte for the predicted byte and counts the byte;
// *value receives it (low byte of prediction - error). True when it
// completes 32 bytes of the channel: rar_audio_adjust is then due before
// the channel's next byte.
inline bool rar_audio_record(rar_audio_state& s, std::int32_t& channelDelta, int predicted, std::uint8_t error,
                             std::uint8_t* byte) {
    const std::int32_t value = predicted - error;
    const unsigned slot = s.byteCount & 31;
    s.byteCount += 1;
    const std::int32_t lastDelta = static_cast<std::int8_t>(value - s.lastChar);
    s.scaledError[slot] = static_cast<std::int16_t>(static_cast<std::int8_t>(error) * 8);
    s.channelDeltas[slot] = static_cast<std::int16_t>(channelDelta);
    s.lastDeltas[4 + slot] = static_cast<std::int16_t>(lastDelta);
    channelDelta = lastDelta;
    s.lastChar = value;
    *byte = static_cast<std::uint8_t>(value);
    return slot == 31;
}

// rar_audio_record with the adjustment when it is due; returns the byte.
inline std::uint8_t rar_audio_update(rar_audio_state& s, std::int32_t& channelDelta, int predicted,
                                     std::uint8_t error) {
    std::uint8_t byte;
    if (rar_audio_record(s, channelDelta, predicted, error, &byte)) rar_audio_adjust(s);
    return byte;
}

// The decoder's step: one error byte in, one output byte out.
inline std::uint8_t rar_decode_audio(rar_audio_state& state, std::int32_t& channelDelta, std::uint8_t error) {
    const int predicted = rar_audio_predict(state, channelDelta);
    return rar_audio_update(state, channelDelta, predicted, error);
}
