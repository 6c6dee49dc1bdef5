// Writes raw 16-bit little-endian PCM of a rising sweep, for the encoder that
// makes the test soundtracks. Every position of the sweep sounds different, so
// a decoded stretch tells exactly where in the file it came from.
//
// usage: make_tone <rate> <channels> <seconds> <output.raw>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_tone <rate> <channels> <seconds> <output.raw>\n");
        return 2;
    }
    const int rate = std::atoi(argv[1]);
    const int channels = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    if (rate <= 0 || channels < 1 || channels > 2 || seconds <= 0) {
        std::fprintf(stderr, "make_tone: bad arguments\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[4], "wb");
    if (!out) {
        std::perror(argv[4]);
        return 1;
    }
    const long frames = static_cast<long>(rate * seconds);
    const double pi = 3.14159265358979323846;
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(frames) * channels * 2);
    double phase = 0.0;
    for (long i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double frequency = 200.0 + 150.0 * t;  // slow upward sweep
        phase += 2.0 * pi * frequency / rate;
        for (int c = 0; c < channels; ++c) {
            const double value = std::sin(phase + c * 0.5) * 12000.0;
            const auto sample = static_cast<std::int16_t>(std::lround(value));
            bytes.push_back(static_cast<unsigned char>(sample & 0xff));
            bytes.push_back(static_cast<unsigned char>((sample >> 8) & 0xff));
        }
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
