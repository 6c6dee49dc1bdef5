#include "effects/wipe_map.h"

#include "kpx/kpx.h"

#include <algorithm>
#include <cstddef>

void loadWipeMap(const kpximage& image, unsigned char* map) {
    if (!image.image) return;
    // Bytes per pixel rather than bpp / 8, so that depths below 8 bits (one
    // byte a pixel) do not divide by zero.
    const std::size_t n = kpx_bytes_per_pixel(image.bpp);
    if (n == 0) return;
    const std::size_t pixels = std::min<std::size_t>(std::size_t(image.width) * image.height, kWipeMapSize);
    const unsigned char* p = image.image;
    for (std::size_t i = 0; i < pixels; ++i, p += n) {
        unsigned sum = 0;
        for (std::size_t b = 0; b < n; ++b) sum += p[b];
        map[i] = static_cast<unsigned char>(sum / n);
    }
}

void computeWipeMask(const unsigned char* map, float progress, unsigned char* mask) {
    const float band = static_cast<float>(kWipeSoftBand);
    for (int i = 0; i < kWipeMapSize; ++i) {
        const float g = map[i];
        if (g < progress)
            mask[i] = 0;
        else if (g < progress + band)
            mask[i] = static_cast<unsigned char>(static_cast<int>(255.0f - 255.0f * (progress + band - g) / band));
        else
            mask[i] = 255;
    }
}
