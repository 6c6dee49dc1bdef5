#include "libs/ppd/unrarlib/audio_predictor.h"

#include <cstdlib>

int rar_audio_predict(rar_audio_state& s, std::int32_t channelDelta) {
    s.byteCount += 1;
    s.d[3] = s.d[2];
    s.d[2] = s.d[1];
    s.d[1] = s.lastDelta - s.d[0];
    s.d[0] = s.lastDelta;
    const std::int32_t sum = 8 * s.lastChar + s.k[0] * s.d[0] + s.k[1] * s.d[1] + s.k[2] * s.d[2] +
                             s.k[3] * s.d[3] + s.k[4] * channelDelta;
    return (sum >> 3) & 0xFF;
}

std::uint8_t rar_audio_update(rar_audio_state& s, std::int32_t& channelDelta, int predicted,
                              std::uint8_t error) {
    const std::int32_t value = predicted - error;
    const std::int32_t i = static_cast<std::int8_t>(error) * 8;

    s.dif[0] += static_cast<std::uint32_t>(std::abs(i));
    s.dif[1] += static_cast<std::uint32_t>(std::abs(i - s.d[0]));
    s.dif[2] += static_cast<std::uint32_t>(std::abs(i + s.d[0]));
    s.dif[3] += static_cast<std::uint32_t>(std::abs(i - s.d[1]));
    s.dif[4] += static_cast<std::uint32_t>(std::abs(i + s.d[1]));
    s.dif[5] += static_cast<std::uint32_t>(std::abs(i - s.d[2]));
    s.dif[6] += static_cast<std::uint32_t>(std::abs(i + s.d[2]));
    s.dif[7] += static_cast<std::uint32_t>(std::abs(i - s.d[3]));
    s.dif[8] += static_cast<std::uint32_t>(std::abs(i + s.d[3]));
    s.dif[9] += static_cast<std::uint32_t>(std::abs(i - channelDelta));
    s.dif[10] += static_cast<std::uint32_t>(std::abs(i + channelDelta));

    s.lastDelta = static_cast<std::int8_t>(value - s.lastChar);
    channelDelta = s.lastDelta;
    s.lastChar = value;

    if ((s.byteCount & 0x1F) == 0) {
        std::uint32_t minDif = s.dif[0];
        int best = 0;
        s.dif[0] = 0;
        for (int n = 1; n < 11; ++n) {
            if (s.dif[n] < minDif) {
                minDif = s.dif[n];
                best = n;
            }
            s.dif[n] = 0;
        }
        if (best > 0) {
            const int k = (best - 1) / 2;
            if (best & 1) {
                if (s.k[k] >= -16) s.k[k] -= 1;
            } else if (s.k[k] < 16) {
                s.k[k] += 1;
            }
        }
    }
    return static_cast<std::uint8_t>(value);
}
