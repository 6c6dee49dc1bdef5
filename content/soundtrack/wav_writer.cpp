#include "content/soundtrack/wav_writer.h"

#include "content/soundtrack/synth_dsp.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vantor::synth {
namespace {

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}
void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

std::int16_t toPcm(float sample, Noise& dither) {
    const float triangular = (dither.unit() - dither.unit()) / 32767.0f;
    const float x = std::fmax(-1.0f, std::fmin(1.0f, sample + triangular));
    return static_cast<std::int16_t>(std::lround(x * 32767.0f));
}

}  // namespace

bool writeWav(const std::string& path, const StereoTrack& track, int sampleRate, std::string* error) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(track.frames() * 4);
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    putTag(bytes, "RIFF");
    put32(bytes, 36 + dataBytes);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    put32(bytes, 16);
    put16(bytes, 1);  // PCM
    put16(bytes, 2);  // channels
    put32(bytes, static_cast<std::uint32_t>(sampleRate));
    put32(bytes, static_cast<std::uint32_t>(sampleRate) * 4);
    put16(bytes, 4);   // bytes per frame
    put16(bytes, 16);  // bits per sample
    putTag(bytes, "data");
    put32(bytes, dataBytes);
    Noise dither(0xd17e4u);
    for (std::size_t i = 0; i < track.frames(); ++i) {
        put16(bytes, static_cast<std::uint16_t>(toPcm(track.left[i], dither)));
        put16(bytes, static_cast<std::uint16_t>(toPcm(track.right[i], dither)));
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error) *error = path + ": write failed";
        return false;
    }
    return true;
}

}  // namespace vantor::synth
