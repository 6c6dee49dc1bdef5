#include "tools/vantor_script/soundtrack_loudness.h"

#include "platform/mp3_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantor::plot {

double soundtrackLengthMs(const std::string& path) {
    platform::Mp3Decoder mp3;
    if (!mp3.open(path) || mp3.rate() <= 0) return 0;
    return double(mp3.lengthFrames()) * 1000.0 / mp3.rate();
}

bool measureLoudness(const std::string& path, std::int32_t from, std::int32_t to, int columns, Loudness& out) {
    out = Loudness{};
    if (columns <= 0 || to <= from) return false;
    platform::Mp3Decoder mp3;
    if (!mp3.open(path) || mp3.rate() <= 0) return false;
    const double rate = mp3.rate();
    out.lengthMs = double(mp3.lengthFrames()) * 1000.0 / rate;
    const std::int64_t first = std::int64_t(std::llround(from * rate / 1000.0));
    const std::int64_t last = std::int64_t(std::llround(to * rate / 1000.0));
    if (!mp3.seekFrame(std::max<std::int64_t>(first, 0))) return false;

    std::vector<double> sumSquares(columns, 0.0);
    std::vector<std::int64_t> counts(columns, 0);
    std::vector<float> peaks(columns, 0.0f);
    std::vector<std::int16_t> buffer(2 * 4096);
    std::int64_t frame = std::max<std::int64_t>(first, 0);
    const double framesPerColumn = double(last - first) / columns;
    while (frame < last) {
        const std::size_t want = std::size_t(std::min<std::int64_t>(4096, last - frame));
        const std::size_t got = mp3.readFrames(buffer.data(), want);
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i, ++frame) {
            const int column = std::clamp(int(double(frame - first) / framesPerColumn), 0, columns - 1);
            const float l = buffer[2 * i] / 32768.0f, r = buffer[2 * i + 1] / 32768.0f;
            const float m = 0.5f * (l + r);
            sumSquares[column] += double(l) * l + double(r) * r;
            counts[column] += 2;
            peaks[column] = std::max(peaks[column], std::abs(m));
        }
    }
    out.columns.resize(columns);
    for (int c = 0; c < columns; ++c) {
        out.columns[c].peak = std::min(1.0f, peaks[c]);
        out.columns[c].rms = counts[c] ? float(std::sqrt(sumSquares[c] / double(counts[c]))) : 0.0f;
    }
    return true;
}

}  // namespace vantor::plot
