// The soundtrack's length without decoding it: the MPEG audio frames are
// counted from their headers (the page has no MP3 decoder of its own; the
// browser decodes what it plays). A leading ID3v2 tag is skipped, an
// encoder's information frame ("Xing"/"Info") counts as no audio, and its
// encoder delay and padding are taken off, as the gapless decoder does.
// Bytes that are no frame header are stepped over one at a time, so any byte
// sequence ends the scan.
#include "platform/soundtrack_length.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace vantor::platform {
namespace {

struct FrameHeader {
    int rate = 0;
    int samples = 0;  // sample frames the MPEG frame decodes to
    long bytes = 0;   // the whole frame, header included
    int sideInfo = 0; // bytes of side information after the header (layer III)
};

bool readHeader(const unsigned char* p, FrameHeader& h) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    const int version = (p[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: MPEG 2, 3: MPEG 1
    const int layer = (p[1] >> 1) & 3;    // 1: III, 2: II, 3: I
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    static const int kRates[3] = {44100, 48000, 32000};
    static const short kBitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    const bool mpeg1 = version == 3;
    const int layerIndex = 3 - layer;  // 0: I, 1: II, 2: III
    const long bitrate = kBitrates[mpeg1 ? 0 : 1][layerIndex][bitrateIndex] * 1000L;
    h.rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int padding = (p[2] >> 1) & 1;
    const bool mono = (p[3] >> 6) == 3;
    if (layerIndex == 0) {
        h.samples = 384;
        h.bytes = (12 * bitrate / h.rate + padding) * 4;
    } else if (layerIndex == 1 || mpeg1) {
        h.samples = 1152;
        h.bytes = 144 * bitrate / h.rate + padding;
    } else {
        h.samples = 576;
        h.bytes = 72 * bitrate / h.rate + padding;
    }
    h.sideInfo = layerIndex != 2 ? 0 : mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return true;
}

// The encoder delay plus padding of an information frame, or -1 when the
// frame at p (of h.bytes bytes) is audio.
long infoFrameTrim(const unsigned char* p, const FrameHeader& h) {
    const long tag = 4 + h.sideInfo;
    if (tag + 8 > h.bytes) return -1;
    if (std::memcmp(p + tag, "Xing", 4) != 0 && std::memcmp(p + tag, "Info", 4) != 0) return -1;
    const unsigned flags = p[tag + 7];
    long at = tag + 8;
    if (flags & 1) at += 4;    // frame count
    if (flags & 2) at += 4;    // byte count
    if (flags & 4) at += 100;  // seek table
    if (flags & 8) at += 4;    // quality
    // The encoder's extension: 9 bytes of version, then delay and padding as
    // two 12-bit numbers at byte 21 of it.
    if (at + 24 > h.bytes) return 0;
    const unsigned char* d = p + at + 21;
    const long delay = (d[0] << 4) | (d[1] >> 4);
    const long padding = ((d[1] & 0x0F) << 8) | d[2];
    return delay + padding;
}

}  // namespace

bool soundtrackLengthMs(const char* fileName, std::int64_t* ms) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    std::vector<unsigned char> data;
    unsigned char block[65536];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) data.insert(data.end(), block, block + n);
    std::fclose(file);

    std::size_t at = 0;
    const std::size_t size = data.size();
    if (size >= 10 && std::memcmp(data.data(), "ID3", 3) == 0) {
        const std::size_t tag = (std::size_t(data[6] & 0x7F) << 21) | (std::size_t(data[7] & 0x7F) << 14) |
                                (std::size_t(data[8] & 0x7F) << 7) | (data[9] & 0x7F);
        at = 10 + tag + ((data[5] & 0x10) ? 10 : 0);
    }
    int rate = 0;
    std::int64_t samples = 0;
    long trim = 0;
    bool first = true;
    FrameHeader h;
    while (at + 4 <= size) {
        // A frame counts when it lies whole in the file and is followed by
        // the end of the file or by another frame header.
        FrameHeader next;
        if (!readHeader(&data[at], h) || at + h.bytes > size ||
            (at + h.bytes + 4 <= size && !readHeader(&data[at + h.bytes], next)) || (rate && h.rate != rate)) {
            ++at;
            continue;
        }
        const long info = first ? infoFrameTrim(&data[at], h) : -1;
        first = false;
        rate = h.rate;
        if (info >= 0)
            trim = info;
        else
            samples += h.samples;
        at += h.bytes;
    }
    if (rate == 0 || samples == 0) return false;
    if (trim < samples) samples -= trim;
    *ms = samples * 1000 / rate;
    return true;
}

}  // namespace vantor::platform
