// The kpximage record's life cycle: create, free, duplicate, reshape.
#include "kpx/kpx.h"

#include <cstdlib>
#include <cstring>

namespace {

// calloc never sees a zero size, so an empty image (width or height 0) is a
// valid record with a one-byte buffer nobody reads, not an allocation failure.
unsigned char* zeroedBytes(std::size_t count) { return static_cast<unsigned char*>(std::calloc(count ? count : 1, 1)); }

// Stores the shape and allocates the record's zeroed palette (when it has
// colours) and pixel buffer, pushing the message of the allocation that
// failed. A record whose palette failed claims no colours, so kpx_free never
// releases a pointer that was not allocated.
bool allocateBuffers(kpximage* img, std::uint16_t width, std::uint16_t height, std::uint16_t bpp,
                     std::uint16_t colors) {
    img->width = width;
    img->height = height;
    img->bpp = bpp;
    img->colors = colors;
    if (colors > 0) {
        img->palette = zeroedBytes(static_cast<std::size_t>(colors) * 3);
        if (!img->palette) {
            img->colors = 0;
            kpx_error("KPX: Not enough memory for kpximage->palette");
            return false;
        }
    }
    img->image = kpx_size_allowed(width, height, kpx_bytes_per_pixel(bpp)) ? zeroedBytes(kpx_image_size(img)) : nullptr;
    if (!img->image) {
        kpx_error("KPX: Not enough memory for kpximage->image");
        return false;
    }
    return true;
}

}  // namespace

bool kpx_size_allowed(std::size_t width, std::size_t height, std::size_t bytesPerPixel) {
    // Each factor is at most 65535 (or a small pixel size), so the product of
    // two cannot overflow; the third is checked by division.
    const std::size_t pixels = width * height;
    return bytesPerPixel == 0 || pixels <= kpx_max_image_bytes / bytesPerPixel;
}

std::size_t kpx_bytes_per_pixel(std::uint16_t bpp) { return (static_cast<std::size_t>(bpp) + 7) / 8; }

std::size_t kpx_image_size(const kpximage* img) {
    return static_cast<std::size_t>(img->width) * img->height * kpx_bytes_per_pixel(img->bpp);
}

kpximage* kpx_create(std::uint16_t width, std::uint16_t height, std::uint16_t bpp, std::uint16_t colors) {
    auto* img = static_cast<kpximage*>(std::calloc(1, sizeof(kpximage)));
    if (!img) {
        kpx_error("KPX: Not enough memory for kpximage");
        return nullptr;
    }
    if (!allocateBuffers(img, width, height, bpp, colors)) {
        kpx_free(img);
        return nullptr;
    }
    return img;
}

void kpx_free(kpximage* img) {
    if (!img) return;
    if (img->colors > 0) std::free(img->palette);
    std::free(img->image);
    std::free(img);
}

kpximage* kpx_duplicate(const kpximage* img) {
    kpximage* copy = kpx_create(img->width, img->height, img->bpp, img->colors);
    if (!copy) {
        kpx_error("KPX: Not enough memory for kpximage");
        return nullptr;
    }
    if (img->colors > 0) std::memcpy(copy->palette, img->palette, static_cast<std::size_t>(img->colors) * 3);
    std::memcpy(copy->image, img->image, kpx_image_size(img));
    return copy;
}

int kpx_set_attributes(std::uint16_t width, std::uint16_t height, std::uint16_t bpp, std::uint16_t colors,
                       kpximage* img) {
    if (img->colors > 0) std::free(img->palette);
    img->palette = nullptr;
    std::free(img->image);
    img->image = nullptr;
    return allocateBuffers(img, width, height, bpp, colors) ? 1 : 0;
}
