// Depth converters: to 32, 24 and 16 bits, to 8-bit grey and to 8 bits on a
// fixed 216-colour cube. Each keeps the record pointer and refills it.
#include "kpx/kpx.h"
#include "kpx/pixels.h"
#include "libs/log/progress_log.h"

#include <cstdlib>
#include <cstring>

using kpx_pixels::Rgb;

namespace {

struct Messages {
    const char* prefix;
    const char* duplicate;
    const char* buffer;
    const char* attributes;
    const char* unsupported;
};

const Messages k32 = {"32bit Convert", "32bit Convert: Could not duplicate kpximage",
                      "32bit Convert: Not enough memory for buffer", "32bit Convert: Could not change image attributes",
                      "32bit Convert: Unsupported bitdepth"};
const Messages k24 = {"24bit Convert", "24bit Convert: Could not duplicate kpximage",
                      "24bit Convert: Not enough memory for buffer", "24bit Convert: Could not change image attributes",
                      "24bit Convert: Unsupported bitdepth"};
const Messages k16 = {"16bit Convert", "16bit Convert: Could not duplicate kpximage",
                      "16bit Convert: Not enough memory for buffer", "16bit Convert: Could not change image attributes",
                      "16bit Convert: Unsupported bitdepth"};
const Messages kGray = {"Grayscale Convert", "Grayscale Convert:  Could not duplicate kpximage",
                        "Grayscale Convert: Not enough memory for buffer",
                        "Grayscale Convert: Could not change image attributes",
                        "Grayscale Convert: Unsupported bitdepth"};
const Messages kCube = {"8bit Convert", "8bit Convert:  Could not duplicate kpximage",
                        "8bit Convert: Not enough memory for buffer", "8bit Convert: Could not change image attributes",
                        "8bit Convert: Unsupported bitdepth"};

// Writes one target pixel from the source pixel (the duplicate `src` gives
// depth and palette).
using PixelRule = void (*)(const kpximage* src, const unsigned char* in, unsigned char* out);

// The shared pattern: duplicate, copy the pixels aside, reshape the record,
// refill it pixel by pixel from the copy. An unsupported depth is refused
// before anything is touched: the record (often a picture the image cache
// shares) stays as it was.
int convert(kpximage* img, const Messages& m, std::uint16_t targetBpp, std::uint16_t targetColors,
            const char* targetName, PixelRule rule) {
    if (img->bpp != 8 && img->bpp != 16 && img->bpp != 24 && img->bpp != 32) {
        kpx_error(m.unsupported);
        return 0;
    }
    kpximage* dup = kpx_duplicate(img);
    if (!dup) {
        kpx_error(m.duplicate);
        return 0;
    }
    const std::size_t size = kpx_image_size(dup);
    auto* temp = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!temp) {
        kpx_free(dup);
        kpx_error(m.buffer);
        return 0;
    }
    std::memcpy(temp, dup->image, size);
    if (!kpx_set_attributes(dup->width, dup->height, targetBpp, targetColors, img)) {
        std::free(temp);
        kpx_free(dup);
        kpx_error(m.attributes);
        return 0;
    }
    const int sourceBpp = dup->bpp;
    if (kpx_verbose()) {
        vantor::log::progress("%s: Converting image %dbit -> %s\n", m.prefix, sourceBpp, targetName);
        if (&m == &kCube) vantor::log::progress("8bit Convert: Note: No dithering of any kind performed\n");
    }
    const std::size_t inBytes = kpx_bytes_per_pixel(dup->bpp);
    const std::size_t outBytes = kpx_bytes_per_pixel(targetBpp);
    const std::size_t pixels = static_cast<std::size_t>(dup->width) * dup->height;
    for (std::size_t i = 0; i < pixels; ++i) rule(dup, temp + i * inBytes, img->image + i * outBytes);
    std::free(temp);
    kpx_free(dup);
    return 1;
}

void to32(const kpximage* src, const unsigned char* in, unsigned char* out) {
    if (src->bpp == 32) {
        std::memcpy(out, in, 4);
    } else if (src->bpp == 24) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 255;
    } else {
        const Rgb c = kpx_pixels::readRgb(src, in);
        out[0] = 0;
        out[1] = c.r;
        out[2] = c.g;
        out[3] = c.b;
    }
}

void to24(const kpximage* src, const unsigned char* in, unsigned char* out) {
    const Rgb c = kpx_pixels::readRgb(src, in);
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
}

void to16(const kpximage* src, const unsigned char* in, unsigned char* out) {
    if (src->bpp == 16) {
        out[0] = in[0];
        out[1] = in[1];
    } else {
        kpx_pixels::pack16(kpx_pixels::readRgb(src, in), out);
    }
}

void toGray(const kpximage* src, const unsigned char* in, unsigned char* out) {
    const Rgb c = kpx_pixels::readRgb(src, in);
    out[0] = static_cast<unsigned char>(static_cast<int>(0.3 * c.r + 0.59 * c.g + 0.11 * c.b + 0.001));
}

const unsigned char kCubeLevels[6] = {255, 204, 153, 102, 51, 0};

Rgb cubeEntry(int i) { return {kCubeLevels[i / 36], kCubeLevels[(i / 6) % 6], kCubeLevels[i % 6]}; }

void toCube(const kpximage* src, const unsigned char* in, unsigned char* out) {
    const Rgb c = kpx_pixels::readRgb(src, in);
    int best = 0x40000;
    int bestIndex = 0;
    for (int i = 0; i < 216; ++i) {
        const Rgb e = cubeEntry(i);
        const int d = std::abs(e.r - c.r) + std::abs(e.g - c.g) + std::abs(e.b - c.b);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    out[0] = static_cast<unsigned char>(bestIndex);
}

}  // namespace

int kpx_convert_32(kpximage* img) { return convert(img, k32, 32, img->colors, "32bit", to32); }

int kpx_convert_24(kpximage* img) { return convert(img, k24, 24, img->colors, "24bit", to24); }

int kpx_convert_16(kpximage* img) { return convert(img, k16, 16, img->colors, "16bit", to16); }

int kpx_convert_gray(kpximage* img) {
    if (!convert(img, kGray, 8, 256, "Grayscale", toGray)) return 0;
    for (int i = 0; i < 256; ++i) std::memset(img->palette + 3 * i, i, 3);
    return 1;
}

int kpx_convert_8(kpximage* img) {
    if (!convert(img, kCube, 8, 216, "8bit", toCube)) return 0;
    for (int i = 0; i < 216; ++i) {
        const Rgb e = cubeEntry(i);
        img->palette[3 * i] = e.r;
        img->palette[3 * i + 1] = e.g;
        img->palette[3 * i + 2] = e.b;
    }
    return 1;
}
