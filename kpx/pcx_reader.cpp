// PCX reader: run-length encoded files with one plane (8 bit, with the
// 256-colour palette block from the end of the file) or three planes (24 bit).
//
// Limits: the header's extents and bytes-per-line must describe a width in
// 0..65535 and a height in 0..65535 with a non-negative line length, else the
// header is refused. Runs that would carry the output past the decoded image
// are cut at its end. Other plane counts and depths are decoded but not
// reordered; each record row receives at most what one decoded row holds.
// A decoded image or record beyond kpx_max_image_bytes is refused.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "libs/log/progress_log.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteBytes = 768;
constexpr int kPaletteMarker = 12;

int le16(const unsigned char* p) { return static_cast<std::int16_t>(p[0] | (p[1] << 8)); }

struct PcxLoad {
    unsigned char* header = nullptr;
    unsigned char* palette = nullptr;
    unsigned char* data = nullptr;
    unsigned char* buffer = nullptr;
    ppd_file* file = nullptr;
    kpximage* result = nullptr;

    ~PcxLoad() {
        std::free(header);
        std::free(palette);
        std::free(data);
        std::free(buffer);
        if (file) ppd_close(file);
        kpx_free(result);
    }
    kpximage* fail(const char* message) {
        kpx_error(message);
        return nullptr;
    }
    kpximage* release() {
        kpximage* img = result;
        result = nullptr;
        return img;
    }
};

// Decodes runs until `total` bytes are produced or the file ends; a run that
// reaches past the end of the buffer is cut there. Returns the bytes produced.
std::size_t decodeRuns(ppd_file* file, unsigned char* out, std::size_t total) {
    std::size_t produced = 0;
    while (produced < total) {
        const int b = ppd_getc(file);
        if (b < 0) return produced;
        std::size_t run = 1;
        int value = b;
        if ((b & 0xC0) == 0xC0) {
            run = static_cast<std::size_t>(b & 0x3F);
            value = ppd_getc(file);
            if (value < 0) return produced;
        }
        if (run > total - produced) run = total - produced;
        std::memset(out + produced, value, run);
        produced += run;
    }
    return produced;
}

// Three planes: each decoded row is the red, green and blue planes one after
// the other; interleaves them into pixels in `out`.
void interleavePlanes(const unsigned char* data, unsigned char* out, long rows, std::size_t rowLength,
                      std::size_t bytesPerLine) {
    for (long y = 0; y < rows; ++y) {
        const unsigned char* src = data + y * rowLength;
        unsigned char* dst = out + y * rowLength;
        for (std::size_t x = 0; x < bytesPerLine; ++x) {
            dst[3 * x] = src[x];
            dst[3 * x + 1] = src[bytesPerLine + x];
            dst[3 * x + 2] = src[2 * bytesPerLine + x];
        }
    }
}

// The 256-colour palette block: the marker 769 bytes from the end of the
// file, then the palette. A file without the marker has no palette.
kpximage* readPalette(PcxLoad& load) {
    ppd_seek(load.file, -769, 2);
    unsigned char marker = 0;
    if (ppd_read(&marker, 1, 1, load.file) != 1) return load.fail("PCX: Cannot read palette-present-byte");
    if (marker == kPaletteMarker) {
        if (kpx_verbose()) vantor::log::progress("PCX: Palette found in image\n");
        load.result->palette = static_cast<unsigned char*>(std::malloc(kPaletteBytes));
        if (!load.result->palette) return load.fail("PCX: Not enough memory for kpximage->palette");
        load.result->colors = 256;
        if (ppd_read(load.palette, kPaletteBytes, 1, load.file) != 1) return load.fail("PCX: Cannot read palette");
        std::memcpy(load.result->palette, load.palette, kPaletteBytes);
    }
    return load.release();
}

}  // namespace

kpximage* kpx_load_pcx(const char* path) {
    PcxLoad load;
    load.header = static_cast<unsigned char*>(std::malloc(kHeaderSize));
    if (!load.header) return load.fail("PCX: Not enough memory for pcxhead");
    load.palette = static_cast<unsigned char*>(std::malloc(kPaletteBytes));
    if (!load.palette) return load.fail("PCX: Not enough memory for palette");

    if (kpx_verbose()) vantor::log::progress("PCX: Loading file \"%s\"...\n", path);
    load.file = ppd_open(path);
    if (!load.file) return load.fail("PCX: File not found");

    const unsigned char* h = load.header;
    if (ppd_read(load.header, kHeaderSize, 1, load.file) != 1) return load.fail("PCX: Cannot read header");
    if (h[0] != 10) return load.fail("PCX: Only ZSoft images supported");
    if (h[2] != 1) return load.fail("PCX: Only rle compressed images supported");

    const long width = static_cast<long>(le16(h + 8)) - le16(h + 4) + 1;
    const long height = static_cast<long>(le16(h + 10)) - le16(h + 6) + 1;
    const int bitsPerPlane = h[3];
    const int planes = h[65];
    const long bytesPerLine = le16(h + 66);
    if (width < 0 || width > 0xFFFF || height < 0 || height > 0xFFFF || bytesPerLine < 0)
        return load.fail("PCX: Invalid image dimensions");

    const std::size_t rowLength = static_cast<std::size_t>(planes) * bytesPerLine;
    const std::size_t total = rowLength * static_cast<std::size_t>(height);
    const auto depth = static_cast<std::uint16_t>(planes * bitsPerPlane);
    if (kpx_verbose()) vantor::log::progress("PCX: Image is %ibit...\n", static_cast<int>(depth));

    // A declared size beyond the library's limit is refused before anything
    // is allocated for it, however few bytes the file holds.
    if (!kpx_size_allowed(rowLength, static_cast<std::size_t>(height), 1))
        return load.fail("PCX: Not enough memory for data");
    if (!kpx_size_allowed(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                          kpx_bytes_per_pixel(depth)))
        return load.fail("PCX: Not enough memory for kpximage");
    load.data = static_cast<unsigned char*>(std::calloc(total ? total : 1, 1));
    if (!load.data) return load.fail("PCX: Not enough memory for data");
    load.buffer = static_cast<unsigned char*>(std::calloc(total ? total : 1, 1));
    if (!load.buffer) return load.fail("PCX: Not enough memory for buffer");

    // Rows the file's runs never reached are zero in every buffer, so only
    // the rows that hold decoded bytes are reordered and copied: a short file
    // that declares a large picture costs no more than its bytes.
    const std::size_t produced = decodeRuns(load.file, load.data, total);
    const long decodedRows = rowLength ? static_cast<long>((produced + rowLength - 1) / rowLength) : 0;

    load.result = kpx_create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), depth, 0);
    if (!load.result) return load.fail("PCX: Not enough memory for kpximage");

    const unsigned char* rows = load.data;
    if (planes == 3 && bitsPerPlane == 8) {
        interleavePlanes(load.data, load.buffer, decodedRows, rowLength, static_cast<std::size_t>(bytesPerLine));
        rows = load.buffer;
    }

    // Each record row takes the leading bytes of its decoded row, dropping the
    // pad bytes; a decoded row shorter than the record row leaves the rest 0.
    const std::size_t recordRow = static_cast<std::size_t>(width) * kpx_bytes_per_pixel(depth);
    std::size_t copy = static_cast<std::size_t>(width) * planes;
    if (copy > rowLength) copy = rowLength;
    if (copy > recordRow) copy = recordRow;
    for (long y = 0; y < decodedRows && copy > 0; ++y)
        std::memcpy(load.result->image + y * recordRow, rows + y * rowLength, copy);

    return readPalette(load);
}
