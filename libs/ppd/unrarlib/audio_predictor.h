// The adaptive linear predictor of the multimedia mode. Each byte channel
// predicts its next byte from the last value and the last four deltas with
// five weights, which are nudged every 32 bytes toward whichever weight would
// have made the smallest error. The decoder and the packer share it, so both
// sides evolve the same state byte for byte.
#pragma once

#include <cstdint>

struct rar_audio_state {
    std::int32_t k[5];        // weights K1..K5
    std::int32_t d[4];        // deltas D1..D4
    std::int32_t lastDelta;
    std::uint32_t dif[11];    // error sums of the candidate weight changes
    std::uint32_t byteCount;
    std::int32_t lastChar;    // last value, kept as the full int
};

// Shifts the deltas for a new byte and returns the prediction (0..255).
int rar_audio_predict(rar_audio_state& state, std::int32_t channelDelta);
// Takes the sent error byte for the predicted byte, updates the weights and
// returns the byte (low byte of prediction - error).
std::uint8_t rar_audio_update(rar_audio_state& state, std::int32_t& channelDelta, int predicted,
                              std::uint8_t error);

// The decoder's step: one error byte in, one output byte out.
inline std::uint8_t rar_decode_audio(rar_audio_state& state, std::int32_t& channelDelta,
                                     std::uint8_t error) {
    const int predicted = rar_audio_predict(state, channelDelta);
    return rar_audio_update(state, channelDelta, predicted, error);
}
