// PCX writer: 8-bit records as one plane (with the 256-colour palette block
// when the record has a palette), 24-bit records as three planes; every
// plane of every row is run-length encoded on its own, rows padded to an
// even length as the format asks. Records without a palette get a zeroed
// block in the palette's place at the end.
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void put16(unsigned char* p, unsigned v) {
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

// Appends one plane row: runs of up to 63 equal bytes; single bytes below
// 0xC0 stand for themselves.
void encodeRow(const unsigned char* row, std::size_t length, std::vector<unsigned char>& out) {
    std::size_t i = 0;
    while (i < length) {
        std::size_t run = 1;
        while (i + run < length && run < 63 && row[i + run] == row[i]) ++run;
        if (run > 1 || (row[i] & 0xC0) == 0xC0) out.push_back(static_cast<unsigned char>(0xC0 | run));
        out.push_back(row[i]);
        i += run;
    }
}

}  // namespace

int kpx_save_pcx(const char* path, const kpximage* img) {
    if (img->bpp != 8 && img->bpp != 24) {
        kpx_error("PCX: Only 8bit and 24bit images can be saved");
        return 0;
    }
    if (kpx_verbose()) vantor::log::progress("PCX: Saving file \"%s\"...\n", path);
    const int planes = img->bpp == 24 ? 3 : 1;
    // The header's extents and line length are signed 16-bit numbers.
    const std::size_t bytesPerLine = (img->width + 1u) & ~1u;
    if (bytesPerLine > 0x7FFF || img->height > 0x7FFF) {
        kpx_error("PCX: Image too large for the format");
        return 0;
    }

    unsigned char header[128] = {};
    header[0] = 10;  // ZSoft
    header[1] = 5;   // version 3.0 and later
    header[2] = 1;   // run-length encoded
    header[3] = 8;
    put16(header + 8, img->width - 1u);  // Xmax (Xmin 0); an empty image gives -1
    put16(header + 10, img->height - 1u);
    put16(header + 12, 72);
    put16(header + 14, 72);
    header[65] = static_cast<unsigned char>(planes);
    put16(header + 66, static_cast<unsigned>(bytesPerLine));
    put16(header + 68, 1);  // palette information: colour

    std::vector<unsigned char> out(header, header + sizeof header);
    std::vector<unsigned char> plane(bytesPerLine, 0);
    const std::size_t pixelBytes = planes;
    for (std::size_t y = 0; y < img->height; ++y) {
        const unsigned char* row = img->image + y * img->width * pixelBytes;
        for (int p = 0; p < planes; ++p) {
            for (std::size_t x = 0; x < img->width; ++x) plane[x] = row[x * pixelBytes + p];
            encodeRow(plane.data(), bytesPerLine, out);
        }
    }
    // Readers look for the palette block 769 bytes before the end of the
    // file. Without a palette, 769 zero bytes take its place, so that neither
    // a short file nor a 12 in the image data reads as a palette marker.
    unsigned char block[769] = {};
    if (planes == 1 && img->colors > 0) {
        block[0] = 12;
        std::memcpy(block + 1, img->palette, (img->colors < 256 ? img->colors : 256) * 3u);
    }
    out.insert(out.end(), block, block + sizeof block);

    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        kpx_error("PCX: Cannot open file for writing");
        return 0;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(path);
        kpx_error("PCX: Cannot write file");
        return 0;
    }
    return 1;
}
