#include "tools/kpx/netpbm.h"

#include "kpx/kpx.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Red, green, blue, alpha of one pixel.
void rgbaOf(const kpximage* img, const unsigned char* p, unsigned char* out) {
    switch (kpx_bytes_per_pixel(img->bpp)) {
    case 1:
        if (img->colors > 0 && p[0] < img->colors) {
            std::memcpy(out, img->palette + 3 * p[0], 3);
        } else if (img->colors > 0) {
            out[0] = out[1] = out[2] = 0;  // an index the palette does not hold
        } else {
            out[0] = out[1] = out[2] = p[0];
        }
        out[3] = 255;
        break;
    case 2:
        out[0] = static_cast<unsigned char>(p[0] & 0xF8);
        out[1] = static_cast<unsigned char>((((p[0] & 7) * 8) | (p[1] >> 5)) * 4);
        out[2] = static_cast<unsigned char>((p[1] & 0x1F) * 8);
        out[3] = 255;
        break;
    case 3:
        std::memcpy(out, p, 3);
        out[3] = 255;
        break;
    default: std::memcpy(out, p, 4);
    }
}

std::string write(const std::string& path, const kpximage* img, bool withAlpha) {
    const std::size_t channels = withAlpha ? 4 : 3;
    const std::size_t pixelBytes = kpx_bytes_per_pixel(img->bpp);
    if (pixelBytes == 0 || pixelBytes > 4) return "unsupported depth for this output";
    std::vector<unsigned char> pixels(static_cast<std::size_t>(img->width) * img->height * channels);
    unsigned char rgba[4];
    for (std::size_t i = 0; i < static_cast<std::size_t>(img->width) * img->height; ++i) {
        rgbaOf(img, img->image + i * pixelBytes, rgba);
        std::memcpy(&pixels[i * channels], rgba, channels);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string("cannot open for writing: ") + std::strerror(errno);
    if (withAlpha)
        std::fprintf(f, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", img->width,
                     img->height);
    else
        std::fprintf(f, "P6\n%d %d\n255\n", img->width, img->height);
    const bool written = std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(path.c_str());
        return "cannot write the file";
    }
    return {};
}

}  // namespace

std::string writePpm(const std::string& path, const kpximage* img) { return write(path, img, false); }
std::string writePam(const std::string& path, const kpximage* img) { return write(path, img, true); }
