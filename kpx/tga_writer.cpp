// TGA writer: 24-bit records (red, green, blue) and 32-bit records (red,
// green, blue, alpha, the order the TGA reader delivers) as true-colour
// files stored top to bottom, raw or run-length encoded, with the new-style
// footer.
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Run-length packets within one row: a repeat packet for two or more equal
// pixels, raw packets for the rest, at most 128 pixels each.
void encodeRow(const unsigned char* row, std::size_t width, std::size_t pixelBytes, std::vector<unsigned char>& out) {
    auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(row + a * pixelBytes, row + b * pixelBytes, pixelBytes) == 0;
    };
    std::size_t x = 0;
    while (x < width) {
        std::size_t run = 1;
        while (x + run < width && run < 128 && same(x, x + run)) ++run;
        if (run > 1) {
            out.push_back(static_cast<unsigned char>(0x80 | (run - 1)));
            out.insert(out.end(), row + x * pixelBytes, row + (x + 1) * pixelBytes);
            x += run;
            continue;
        }
        std::size_t raw = 1;
        while (x + raw < width && raw < 128 && !(x + raw + 1 < width && same(x + raw, x + raw + 1))) ++raw;
        out.push_back(static_cast<unsigned char>(raw - 1));
        out.insert(out.end(), row + x * pixelBytes, row + (x + raw) * pixelBytes);
        x += raw;
    }
}

}  // namespace

int kpx_save_tga(const char* path, const kpximage* img, int rle) {
    if (img->bpp != 24 && img->bpp != 32) {
        kpx_error("TGA: Only 24bit and 32bit images can be saved");
        return 0;
    }
    if (kpx_verbose()) vantor::log::progress("TGA: Saving file \"%s\"...\n", path);
    const std::size_t pixelBytes = img->bpp / 8;

    unsigned char header[18] = {};
    header[2] = rle ? 10 : 2;
    header[12] = static_cast<unsigned char>(img->width & 0xFF);
    header[13] = static_cast<unsigned char>(img->width >> 8);
    header[14] = static_cast<unsigned char>(img->height & 0xFF);
    header[15] = static_cast<unsigned char>(img->height >> 8);
    header[16] = static_cast<unsigned char>(img->bpp);
    header[17] = static_cast<unsigned char>(0x20 | (img->bpp == 32 ? 8 : 0));  // top to bottom, alpha bits

    std::vector<unsigned char> out(header, header + sizeof header);
    std::vector<unsigned char> row(img->width * pixelBytes);
    for (std::size_t y = 0; y < img->height; ++y) {
        std::memcpy(row.data(), img->image + y * row.size(), row.size());
        for (std::size_t x = 0; x < img->width; ++x) std::swap(row[x * pixelBytes], row[x * pixelBytes + 2]);
        if (rle)
            encodeRow(row.data(), img->width, pixelBytes, out);
        else
            out.insert(out.end(), row.begin(), row.end());
    }
    static const unsigned char footer[26] = {0,   0,   0,   0,   0,   0,   0,   0,   'T', 'R', 'U', 'E', 'V',
                                             'I', 'S', 'I', 'O', 'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
    out.insert(out.end(), footer, footer + sizeof footer);

    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        kpx_error("TGA: Cannot open file for writing");
        return 0;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(path);
        kpx_error("TGA: Cannot write file");
        return 0;
    }
    return 1;
}
