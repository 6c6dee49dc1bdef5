// Builders of image files for the KPX tests, the oracle decoder and small
// helpers to look at records.
#pragma once

#include "kpx/kpx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor::test {

struct KpxDeleter {
    void operator()(kpximage* img) const { kpx_free(img); }
};
using KpxPtr = std::unique_ptr<kpximage, KpxDeleter>;

struct Rgba {
    int r, g, b, a;
};

// The colour of record pixel (x, y) as red, green, blue, alpha: 8-bit through
// the palette (grey without one), 16-bit expanded, 24-bit with alpha 255,
// 32-bit in the stored byte order.
Rgba recordPixel(const kpximage* img, int x, int y);

// A picture in natural order: width x height pixels of `channels` bytes.
struct Picture {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> pixels;
    const std::uint8_t* at(int x, int y) const { return pixels.data() + (y * width + x) * channels; }
};

// A deterministic test picture with gradients, flat areas (long runs) and
// noise (short runs).
Picture testPicture(int width, int height, int channels, std::uint32_t seed);

// The picture as stb_image decodes the bytes, with `channels` channels (0:
// the file's own). Empty pixels when stb_image refuses the file.
Picture stbDecode(const std::string& bytes, int channels = 0);

// ---- GIF ------------------------------------------------------------------
struct GifFrame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // natural row order
    bool interlaced = false;
    int localTableSize = -1;               // table size code of a local table; -1: none
    std::vector<std::uint8_t> localTable;  // its entries; empty: every byte 0x55
};
struct GifSpec {
    bool gif89 = true;
    int tableSizeCode = 7;  // global table of 2^(code + 1) entries
    bool globalTable = true;
    int minCodeSize = 8;
    bool graphicControl = false;  // a graphic control extension before each frame
    bool deferredClear = false;   // keep coding with a full table instead of clearing
    bool trailer = true;
    std::vector<GifFrame> frames;
};
std::vector<std::uint8_t> gifPalette(int entries);  // entry i = (i * 7, 255 - i, i * 3)
std::string gifFile(const GifSpec& spec);

// ---- TGA ------------------------------------------------------------------
struct TgaSpec {
    int type = 2;       // 1, 2, 3, 9, 10, 11
    int depth = 24;     // bits per pixel in the file
    int alphaBits = 0;  // descriptor bits 0..3
    bool topDown = false;
    bool rightToLeft = false;
    int mapFirst = 0, mapEntrySize = 24;
    std::vector<std::uint8_t> map;  // stored entries, file byte order
    bool footer = true;
};
// `filePixels` are the pixels in natural order (top row first, left first),
// each in the file's own byte order; the builder stores them in the
// orientation the spec asks for, run-length packets crossing rows.
std::string tgaFile(const TgaSpec& spec, int width, int height, const std::vector<std::uint8_t>& filePixels);

// ---- JPEG (through libjpeg, for files our writer does not make) -------------
// components 1 (grey), 3 (RGB) or 4 (CMYK); progressive asks for a
// progressive scan script; without `subsampled` every component is stored at
// full resolution (4:4:4), else libjpeg's default 2 x 2 chroma subsampling.
std::string jpegFile(const Picture& picture, int quality, bool progressive, bool subsampled = false);

}  // namespace vantor::test
