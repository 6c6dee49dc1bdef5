// Transforms that keep the depth: channel order fix, colour inversion,
// nearest-neighbour resize and the two mirrorings. All work on the record in
// place; the pointer callers hold stays valid.
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

int kpx_swap_colors(kpximage* img) {
    const std::size_t pixels = static_cast<std::size_t>(img->width) * img->height;
    unsigned char* p = img->image;
    if (img->bpp == 24) {
        if (kpx_verbose()) vantor::log::progress("Invert Color: swapping 24bit image\n");
        for (std::size_t i = 0; i < pixels; ++i, p += 3) std::swap(p[0], p[2]);
    } else if (img->bpp == 32) {
        if (kpx_verbose()) vantor::log::progress("Invert Color: Inverting 32bit image\n");
        for (std::size_t i = 0; i < pixels; ++i, p += 4) {
            const unsigned char first = p[0];
            p[0] = p[1];
            p[1] = p[2];
            p[2] = p[3];
            p[3] = first;
        }
    }
    return 0;
}

int kpx_invert_colors(kpximage* img) {
    const std::size_t pixels = static_cast<std::size_t>(img->width) * img->height;
    unsigned char* p = img->image;
    switch (img->bpp) {
    case 8:
        if (kpx_verbose()) vantor::log::progress("Invert Color: Inverting 8bit image (palette only)\n");
        for (std::size_t i = 0; i < static_cast<std::size_t>(img->colors) * 3; ++i)
            img->palette[i] = static_cast<unsigned char>(~img->palette[i]);
        return 1;
    case 16:
        // 31 - red, 63 - green, 31 - blue is the complement of all 16 bits.
        if (kpx_verbose()) vantor::log::progress("Invert Color: Inverting 16bit image\n");
        for (std::size_t i = 0; i < pixels * 2; ++i) p[i] = static_cast<unsigned char>(~p[i]);
        return 1;
    case 24:
        if (kpx_verbose()) vantor::log::progress("Invert Color: Inverting 24bit image\n");
        for (std::size_t i = 0; i < pixels * 3; ++i) p[i] = static_cast<unsigned char>(~p[i]);
        return 1;
    case 32:
        if (kpx_verbose()) vantor::log::progress("Invert Color: Inverting 32bit image\n");
        for (std::size_t i = 0; i < pixels; ++i, p += 4)
            for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>(~p[c]);
        return 1;
    default: kpx_error("Invert Color: Unsupported bitdepth"); return 0;
    }
}

int kpx_scale(std::uint16_t width, std::uint16_t height, kpximage* img) {
    kpximage* dup = kpx_duplicate(img);
    if (!dup) {
        kpx_error("Scale Size: Could not duplicate kpximage");
        return 0;
    }
    if (!kpx_set_attributes(width, height, dup->bpp, dup->colors, img)) {
        kpx_free(dup);
        kpx_error("Scale Size: Could not change image attributes");
        return 0;
    }
    if (dup->colors > 0) std::memcpy(img->palette, dup->palette, static_cast<std::size_t>(dup->colors) * 3);

    const float fx = width ? static_cast<float>(dup->width) / static_cast<float>(width) : 0.0f;
    const float fy = height ? static_cast<float>(dup->height) / static_cast<float>(height) : 0.0f;
    if (kpx_verbose())
        vantor::log::progress("Scale Size: Scaling %ix%i -> %ix%i (factor %4.2fx%4.2f)\n", dup->width, dup->height,
                              width, height, fx, fy);

    // An empty source leaves the new pixels zero: there is nothing to sample.
    if (dup->width > 0 && dup->height > 0) {
        const std::size_t pixelBytes = kpx_bytes_per_pixel(dup->bpp);
        const std::size_t sourceRow = static_cast<std::size_t>(dup->width) * pixelBytes;
        unsigned char* out = img->image;
        for (std::size_t y = 0; y < height; ++y) {
            std::size_t sy = static_cast<std::size_t>(static_cast<float>(y) * fy);
            if (sy >= dup->height) sy = dup->height - 1u;
            const unsigned char* row = dup->image + sy * sourceRow;
            for (std::size_t x = 0; x < width; ++x, out += pixelBytes) {
                std::size_t sx = static_cast<std::size_t>(static_cast<float>(x) * fx);
                if (sx >= dup->width) sx = dup->width - 1u;
                std::memcpy(out, row + sx * pixelBytes, pixelBytes);
            }
        }
    }
    kpx_free(dup);
    return 1;
}

namespace {

// A scaled size truncated to an integer and taken as unsigned 16-bit; sizes
// that are not finite numbers give 0.
std::uint16_t scaledSize(std::uint16_t size, float factor) {
    // The product in single precision, as the factors are given.
    const double v = std::trunc(static_cast<double>(static_cast<float>(size) * factor));
    if (!std::isfinite(v)) return 0;
    const double wrapped = std::fmod(v, 65536.0);
    return static_cast<std::uint16_t>(static_cast<long>(wrapped < 0 ? wrapped + 65536.0 : wrapped));
}

}  // namespace

int kpx_scale_by(float fx, float fy, kpximage* img) {
    return kpx_scale(scaledSize(img->width, fx), scaledSize(img->height, fy), img);
}

int kpx_flip_vertical(kpximage* img) {
    const std::size_t pixelBytes = kpx_bytes_per_pixel(img->bpp);
    auto* pixel = static_cast<unsigned char*>(std::malloc(pixelBytes ? pixelBytes : 1));
    if (!pixel) {
        kpx_error("Flip Vertical: Not enough memory for buffer");
        return 0;
    }
    if (kpx_verbose()) vantor::log::progress("Flip Vertical: Flipping image\n");
    const std::size_t rowBytes = img->width * pixelBytes;
    for (std::size_t y = 0; y < img->height; ++y) {
        unsigned char* row = img->image + y * rowBytes;
        for (std::size_t l = 0, r = img->width ? img->width - 1u : 0; l < r; ++l, --r) {
            std::memcpy(pixel, row + l * pixelBytes, pixelBytes);
            std::memcpy(row + l * pixelBytes, row + r * pixelBytes, pixelBytes);
            std::memcpy(row + r * pixelBytes, pixel, pixelBytes);
        }
    }
    std::free(pixel);
    return 1;
}

int kpx_flip_horizontal(kpximage* img) {
    const std::size_t rowBytes = img->width * kpx_bytes_per_pixel(img->bpp);
    auto* row = static_cast<unsigned char*>(std::malloc(rowBytes ? rowBytes : 1));
    if (!row) {
        kpx_error("Flip Horizontal: Not enough memory for buffer");
        return 0;
    }
    if (kpx_verbose()) vantor::log::progress("Flip Horizontal: Flipping image\n");
    for (std::size_t t = 0, b = img->height ? img->height - 1u : 0; t < b; ++t, --b) {
        std::memcpy(row, img->image + t * rowBytes, rowBytes);
        std::memcpy(img->image + t * rowBytes, img->image + b * rowBytes, rowBytes);
        std::memcpy(img->image + b * rowBytes, row, rowBytes);
    }
    std::free(row);
    return 1;
}
