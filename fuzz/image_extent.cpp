#include "fuzz/image_extent.h"

#include <algorithm>

namespace vantor::fuzz {
namespace {

unsigned le16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
unsigned be16(const std::uint8_t* p) { return p[0] << 8 | p[1]; }

// The header's 16-bit fields as the PCX reader reads them: signed.
long pcxField(const std::uint8_t* p) { return static_cast<std::int16_t>(le16(p)); }

// The decoded runs (planes x bytes per line x rows) and the record made from
// them, whichever is larger.
std::size_t pcxBytes(const std::uint8_t* d, std::size_t size) {
    if (size < 128) return 0;
    const long width = pcxField(d + 8) - pcxField(d + 4) + 1;
    const long height = pcxField(d + 10) - pcxField(d + 6) + 1;
    const long bytesPerLine = pcxField(d + 66);
    if (width < 0 || height < 0 || bytesPerLine < 0) return 0;  // refused as invalid dimensions
    const std::size_t rows = static_cast<std::size_t>(height);
    const std::size_t runs = std::size_t(d[65]) * static_cast<std::size_t>(bytesPerLine) * rows;
    const std::size_t record = static_cast<std::size_t>(width) * rows * 4;
    return std::max(runs, record);
}

std::size_t tgaBytes(const std::uint8_t* d, std::size_t size) {
    if (size < 18) return 0;
    return std::size_t(le16(d + 12)) * le16(d + 14) * 4;
}

// Walks the blocks as the reader does: extensions are skipped with their
// sub-blocks, any other byte before the first image descriptor by itself.
std::size_t gifBytes(const std::uint8_t* d, std::size_t size) {
    if (size < 13) return 0;
    std::size_t at = 13;
    if (d[10] & 0x80) at += 3u << ((d[10] & 7) + 1);
    while (at < size) {
        const std::uint8_t introducer = d[at++];
        if (introducer == 0x3B) return 0;
        if (introducer == 0x2C) {
            if (at + 9 > size) return 0;
            return std::size_t(le16(d + at + 4)) * le16(d + at + 6);
        }
        if (introducer != 0x21) continue;
        ++at;  // the label
        while (at < size && d[at] != 0) at += d[at] + 1u;
        ++at;
    }
    return 0;
}

// The frame header (any SOF marker) found by walking the marker segments.
std::size_t jpegBytes(const std::uint8_t* d, std::size_t size) {
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (d[at] != 0xFF) {
            ++at;  // the decoder passes over stray bytes between segments
            continue;
        }
        const std::uint8_t marker = d[at + 1];
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == 0xD9) return 0;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 10 > size) return 0;
            const std::size_t components = std::max<std::size_t>(d[at + 9], 3);
            return std::size_t(be16(d + at + 5)) * be16(d + at + 7) * components;
        }
        at += 2 + be16(d + at + 2);
    }
    return 0;
}

}  // namespace

std::size_t declaredImageBytes(const std::uint8_t* data, std::size_t size, std::string_view extension) {
    if (extension == "pcx") return pcxBytes(data, size);
    if (extension == "tga") return tgaBytes(data, size);
    if (extension == "gif") return gifBytes(data, size);
    if (extension == "jpg") return jpegBytes(data, size);
    return 0;
}

}  // namespace vantor::fuzz
