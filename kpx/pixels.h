// Pixel helpers shared by the converters, the transforms and the writers.
#pragma once

#include "kpx/kpx.h"

namespace kpx_pixels {

struct Rgb {
    unsigned char r, g, b;
};

// The 8-bit red, green, blue of a 5-6-5 pixel stored high byte first.
inline Rgb expand16(const unsigned char* p) {
    return {static_cast<unsigned char>(p[0] & 0xF8), static_cast<unsigned char>((((p[0] & 7) * 8) | (p[1] >> 5)) * 4),
            static_cast<unsigned char>((p[1] & 0x1F) * 8)};
}

// Packs red, green, blue into 5-6-5, high byte first.
inline void pack16(Rgb c, unsigned char* out) {
    const unsigned v = (c.r >> 3) * 2048u + (c.g >> 2) * 32u + (c.b >> 3);
    out[0] = static_cast<unsigned char>(v >> 8);
    out[1] = static_cast<unsigned char>(v & 0xFF);
}

// The colour of an 8-bit index: its palette entry; an index the palette does
// not hold is black, and a record without a palette is read as grey.
inline Rgb paletteColour(const kpximage* img, unsigned char index) {
    if (img->colors == 0) return {index, index, index};
    if (index >= img->colors) return {0, 0, 0};
    const unsigned char* e = img->palette + 3 * index;
    return {e[0], e[1], e[2]};
}

// The red, green, blue of a pixel as the converters read it: 8-bit through
// the palette, 16-bit expanded, 24-bit bytes 0..2, 32-bit bytes 1..3.
inline Rgb readRgb(const kpximage* img, const unsigned char* p) {
    switch (kpx_bytes_per_pixel(img->bpp)) {
    case 1: return paletteColour(img, p[0]);
    case 2: return expand16(p);
    case 3: return {p[0], p[1], p[2]};
    default: return {p[1], p[2], p[3]};
    }
}

}  // namespace kpx_pixels
