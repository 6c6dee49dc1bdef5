// TGA reader: colour-mapped, true-colour and greyscale files, raw or
// run-length encoded, in any of the four stored pixel orders.
//
// A 32-bit file becomes a 32-bit record in red, green, blue, alpha order;
// 16-bit (and 15-bit) files are turned into the library's 5-6-5 layout;
// colour-mapped files become 8-bit records with the map as palette.
// Limits: colour-mapped files need 8-bit indices and a map of at most 65535
// entries (counting the leading black entries); a run-length packet that runs
// past the last pixel is cut there, and its leftover pixels die with the load.
// A declared size whose record would exceed kpx_max_image_bytes is refused.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "libs/log/progress_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kFooterSize = 26;
constexpr std::size_t kStatePixels = 128;

int le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// Reads run-length packets; a packet that reaches past the end of a request
// is decoded into the state buffer and handed out from there.
struct PacketReader {
    ppd_file* file;
    std::size_t pixelBytes;
    unsigned char* state = nullptr;
    std::size_t stateFill = 0;
    std::size_t statePos = 0;

    ~PacketReader() { std::free(state); }

    // Copies up to `count` whole pixels in one piece; returns how many.
    std::size_t readPixels(unsigned char* dest, std::size_t count) {
        const std::uint32_t pos = ppd_tell(file);
        const std::size_t left = pos < file->size ? file->size - pos : 0;
        const std::size_t n = std::min(count, left / pixelBytes);
        if (n > 0) ppd_read(dest, n * pixelBytes, 1, file);
        return n;
    }

    // Whole pixels delivered, or -1 when the state buffer cannot be allocated.
    long read(unsigned char* dest, std::size_t pixels) {
        const std::size_t want = pixels * pixelBytes;
        std::size_t got = 0;
        while (got < want) {
            if (statePos < stateFill) {
                const std::size_t n = std::min(stateFill - statePos, want - got);
                std::memcpy(dest + got, state + statePos, n);
                statePos += n;
                got += n;
                if (statePos == stateFill) statePos = stateFill = 0;
                continue;
            }
            const int count = ppd_getc(file);
            if (count < 0) {
                if (kpx_verbose()) vantor::log::progress("TGA: hit EOF while looking for count\n");
                break;
            }
            const std::size_t packetPixels = static_cast<std::size_t>(count & 0x7F) + 1;
            const std::size_t packetBytes = packetPixels * pixelBytes;
            unsigned char* target = dest + got;
            const bool viaState = packetBytes > want - got;
            if (viaState) {
                if (kpx_verbose())
                    vantor::log::progress("TGA: needed to use statebuf for %d bytes\n", static_cast<int>(want - got));
                if (!state) {
                    state = static_cast<unsigned char*>(std::malloc(kStatePixels * pixelBytes));
                    if (!state) {
                        kpx_error("TGA: Not enough memory for statebuf");
                        return -1;
                    }
                }
                target = state;
            }
            std::size_t delivered = 0;
            bool stop = false;
            if (count & 0x80) {
                if (ppd_read(target, pixelBytes, 1, file) != 1) {
                    if (kpx_verbose())
                        vantor::log::progress("TGA: EOF while reading %d/%d element RLE packet\n",
                                              static_cast<int>(packetBytes), static_cast<int>(pixelBytes));
                    stop = true;
                } else {
                    for (std::size_t i = 1; i < packetPixels; ++i)
                        std::memcpy(target + i * pixelBytes, target, pixelBytes);
                    delivered = packetBytes;
                }
            } else {
                const std::size_t n = readPixels(target, packetPixels);
                delivered = n * pixelBytes;
                if (n < packetPixels) {
                    if (kpx_verbose())
                        vantor::log::progress("TGA: EOF while reading %d/%d element raw packet\n",
                                              static_cast<int>(packetBytes), static_cast<int>(pixelBytes));
                    stop = true;
                }
            }
            if (viaState) {
                stateFill = delivered;
                statePos = 0;
            } else {
                got += delivered;
            }
            if (stop) {
                // Hand out what the cut packet did deliver, then end.
                const std::size_t n = std::min(stateFill - statePos, want - got);
                if (n) std::memcpy(dest + got, state + statePos, n);
                got += n;
                break;
            }
        }
        return pixelBytes ? static_cast<long>(got / pixelBytes) : 0;
    }
};

struct TgaLoad {
    unsigned char* header = nullptr;
    unsigned char* footer = nullptr;
    unsigned char* cmap = nullptr;
    unsigned char* data = nullptr;
    ppd_file* file = nullptr;
    kpximage* result = nullptr;

    ~TgaLoad() {
        std::free(header);
        std::free(footer);
        std::free(cmap);
        std::free(data);
        if (file) ppd_close(file);
        kpx_free(result);
    }
    bool fail(const char* message) {
        kpx_error(message);
        return false;
    }
};

// 5-bit channel to 8 bits, the low bits repeating the high ones.
unsigned char expand5(int v) { return static_cast<unsigned char>((v << 3) | (v >> 2)); }

// One colour-map entry of `bytes` bytes (file order blue, green, red) as red,
// green, blue. 15- and 16-bit entries are 5-5-5; any alpha in the map is
// dropped, since palette images carry no transparency.
void mapEntryToRgb(const unsigned char* e, std::size_t bytes, unsigned char* rgb) {
    if (bytes >= 3) {
        rgb[0] = e[2];
        rgb[1] = e[1];
        rgb[2] = e[0];
    } else if (bytes == 2) {
        const int v = e[0] | (e[1] << 8);
        rgb[0] = expand5((v >> 10) & 31);
        rgb[1] = expand5((v >> 5) & 31);
        rgb[2] = expand5(v & 31);
    } else if (bytes == 1) {
        rgb[0] = rgb[1] = rgb[2] = e[0];
    } else {
        rgb[0] = rgb[1] = rgb[2] = 0;
    }
}

// The header fields the load works from.
struct TgaHeader {
    int mapType, type, firstIndex, mapLength, entrySize, width, height, depth, descriptor;

    explicit TgaHeader(const unsigned char* h)
        : mapType(h[1]),
          type(h[2]),
          firstIndex(le16(h + 3)),
          mapLength(le16(h + 5)),
          entrySize(h[7]),
          width(le16(h + 12)),
          height(le16(h + 14)),
          depth(h[16]),
          descriptor(h[17]) {}

    bool trueColour() const { return type == 2 || type == 10; }
    bool greyscale() const { return type == 3 || type == 11; }
    bool mapped() const { return type == 1 || type == 9; }
    bool runLength() const { return type >= 9; }
    int descriptorAlpha() const { return descriptor & 0x0F; }
    bool topDown() const { return (descriptor & 0x20) != 0; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
};

// How a stored pixel splits into colour and alpha bits.
struct PixelLayout {
    int colourBits, alphaBits;
};

// The pixel layout the header gives: the colour bits from the depth, the
// alpha bits from the descriptor, reconciled (verbose says how) when the two
// do not add up to the depth. Fails on an unknown image type and on a colour
// map type that does not fit the image type.
bool pixelLayout(TgaLoad& load, const TgaHeader& h, PixelLayout& layout) {
    const int descriptorAlpha = h.descriptorAlpha();
    int colourBits = h.trueColour() ? 3 * std::min(h.depth / 3, 8)
                                    : (descriptorAlpha < h.depth ? h.depth - descriptorAlpha : h.depth);
    int alphaBits = descriptorAlpha;
    if (h.depth < descriptorAlpha + colourBits) {
        alphaBits = h.depth - colourBits;
        if (kpx_verbose()) {
            vantor::log::progress("TGA: %d bit image, %d bit alpha is greater than %d total bits per pixel\n",
                                  colourBits, descriptorAlpha, h.depth);
            vantor::log::progress("TGA: reducing to %d bit alpha\n", alphaBits);
        }
    } else if (descriptorAlpha + colourBits < h.depth) {
        alphaBits = h.depth - colourBits;
        if (kpx_verbose()) {
            vantor::log::progress("TGA: %d bit image, %d bit alpha is less than %d total bits per pixel\n", colourBits,
                                  descriptorAlpha, h.depth);
            vantor::log::progress("TGA: increasing to %d bit alpha\n", alphaBits);
        }
    }

    if (h.trueColour()) {
        if (kpx_verbose()) vantor::log::progress("TGA: %d bit color image, %d bit alpha\n", colourBits, alphaBits);
    } else if (h.greyscale()) {
        if (kpx_verbose()) vantor::log::progress("TGA: %d bit grayscale image, %d bit alpha\n", colourBits, alphaBits);
    } else if (h.mapped()) {
        const int entryColour = 3 * std::min(h.entrySize / 3, 8);
        if (kpx_verbose())
            vantor::log::progress("TGA: %d bit indexed image, %d bit alpha (%d bit indices)\n", entryColour,
                                  h.entrySize > entryColour ? h.entrySize - entryColour : 0, h.depth);
    } else {
        return load.fail("TGA: unrecognized image type");
    }
    if (h.mapped() && h.mapType != 1) return load.fail("TGA: indexed image has invalid color map type");
    if (!h.mapped() && h.mapType != 0) return load.fail("TGA: non-indexed image has invalid color map type");
    layout = {colourBits, alphaBits};
    return true;
}

// Reads the colour map into load.cmap as red, green, blue entries, the ones
// before the first stored index black; `paletteSize` counts them all.
bool readColourMap(TgaLoad& load, const TgaHeader& h, int& paletteSize) {
    if (kpx_verbose())
        vantor::log::progress("TGA: reading color map (%d + %d) * (%d bits)\n", h.firstIndex, h.mapLength, h.entrySize);
    if (h.mapLength == 0 || h.firstIndex + h.mapLength > 0xFFFF) return load.fail("TGA: invalid color map length");
    if (h.depth != 8) return load.fail("TGA: only 8 bit color map indices supported");
    paletteSize = h.firstIndex + h.mapLength;
    const std::size_t entryBytes = (static_cast<std::size_t>(h.entrySize) + 7) / 8;
    const std::size_t mapBytes = static_cast<std::size_t>(paletteSize) * entryBytes;
    auto* raw = static_cast<unsigned char*>(std::calloc(mapBytes ? mapBytes : 1, 1));
    load.cmap = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(paletteSize) * 3, 1));
    if (!raw || !load.cmap) {
        std::free(raw);
        return load.fail("TGA: Not enough memory for cmap");
    }
    const std::size_t stored = static_cast<std::size_t>(h.mapLength) * entryBytes;
    if (stored && ppd_read(raw + h.firstIndex * entryBytes, stored, 1, load.file) != 1) {
        std::free(raw);
        return load.fail("TGA: error reading colormap");
    }
    for (int i = h.firstIndex; i < paletteSize; ++i) mapEntryToRgb(raw + i * entryBytes, entryBytes, load.cmap + 3 * i);
    std::free(raw);
    return true;
}

// 1-5-5-5 (and plain 5-5-5) little-endian pixels to 5-6-5 high byte first,
// green doubled into six bits, the alpha bit dropped.
void fiveFiveFiveToLibraryLayout(unsigned char* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* p = pixels + 2 * i;
        const unsigned v = p[0] | (p[1] << 8);
        p[0] = static_cast<unsigned char>((v >> 7) & 0xFF);
        p[1] = static_cast<unsigned char>((((v >> 5) << 6) | (v & 0x1F)) & 0xFF);
    }
}

// Places the work buffer's rows into the record top to bottom and left to
// right, as far as the file delivered pixels.
void reorderRows(const TgaLoad& load, const TgaHeader& h, std::size_t pixelBytes, std::size_t delivered) {
    const int width = h.width;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    const std::size_t rows = width > 0 ? (delivered + width - 1) / static_cast<std::size_t>(width) : 0;
    for (std::size_t r = 0; r < rows; ++r) {
        const unsigned char* src = load.data + r * rowBytes;
        unsigned char* dst = load.result->image + (h.topDown() ? r : h.height - 1 - r) * rowBytes;
        if (h.rightToLeft()) {
            for (int x = 0; x < width; ++x)
                std::memcpy(dst + x * pixelBytes, src + (width - 1 - x) * pixelBytes, pixelBytes);
        } else {
            std::memcpy(dst, src, rowBytes);
        }
    }
}

bool readImage(TgaLoad& load) {
    const TgaHeader h(load.header);
    PixelLayout layout{};
    if (!pixelLayout(load, h, layout)) return false;

    int paletteSize = 0;
    if (h.mapType == 1) {
        if (!readColourMap(load, h, paletteSize)) return false;
        layout = {8, 0};
    }

    const std::size_t pixelBytes = (static_cast<std::size_t>(layout.colourBits) + layout.alphaBits + 7) / 8;
    const std::size_t pixels = static_cast<std::size_t>(h.width) * h.height;
    const std::size_t size = pixels * pixelBytes;
    // Files stored top to bottom and left to right are decoded straight into
    // the record; the others into a work buffer that is then reordered.
    const bool natural = h.topDown() && !h.rightToLeft() && size == kpx_image_size(load.result);
    unsigned char* pixelData = load.result->image;
    if (!natural) {
        if (!kpx_size_allowed(h.width, h.height, pixelBytes)) return load.fail("TGA: Not enough memory for data");
        load.data = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
        if (!load.data) return load.fail("TGA: Not enough memory for data");
        pixelData = load.data;
    }

    long read = 0;
    PacketReader packets{load.file, pixelBytes};
    if (h.runLength()) {
        read = packets.read(pixelData, pixels);
        if (read < 0) return false;
    } else if (pixelBytes > 0) {
        // All whole pixels the file still holds, in one piece.
        read = static_cast<long>(packets.readPixels(pixelData, pixels));
    }
    if (read == 0 && pixels > 0) return load.fail("TGA: Could not read from file");

    // Only the pixels the file delivered are turned and placed: the others
    // are zero in both buffers and stay zero through every step below, so a
    // short file that declares a large picture costs no more than its bytes.
    const std::size_t delivered = static_cast<std::size_t>(read);
    if (pixelBytes >= 3)
        for (unsigned char* p = pixelData; p < pixelData + delivered * pixelBytes; p += pixelBytes)
            std::swap(p[0], p[2]);
    if (layout.colourBits == 15 && (layout.alphaBits == 1 || (layout.alphaBits == 0 && h.trueColour()))) {
        fiveFiveFiveToLibraryLayout(pixelData, delivered);
        if (layout.alphaBits == 0) load.result->bpp = 16;
    }
    if (!natural && size == kpx_image_size(load.result)) reorderRows(load, h, pixelBytes, delivered);

    if (paletteSize > 0) {
        load.result->palette = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(paletteSize) * 3));
        if (!load.result->palette) return load.fail("TGA: Not enough memory for kpximage->palette");
        load.result->colors = static_cast<std::uint16_t>(paletteSize);
        std::memcpy(load.result->palette, load.cmap, static_cast<std::size_t>(paletteSize) * 3);
    }
    return true;
}

}  // namespace

kpximage* kpx_load_tga(const char* path) {
    TgaLoad load;
    load.header = static_cast<unsigned char*>(std::malloc(kHeaderSize));
    if (!load.header) {
        kpx_error("TGA: Not enough memory for tgahead");
        return nullptr;
    }
    load.footer = static_cast<unsigned char*>(std::malloc(kFooterSize));
    if (!load.footer) {
        kpx_error("TGA: Not enough memory for tgafoot");
        return nullptr;
    }
    if (kpx_verbose()) vantor::log::progress("TGA: Loading file \"%s\"...\n", path);

    load.file = ppd_open(path);
    if (!load.file) {
        kpx_error("TGA: File not found");
        return nullptr;
    }
    ppd_seek(load.file, -static_cast<std::int32_t>(kFooterSize), 2);
    if (ppd_read(load.footer, kFooterSize, 1, load.file) != 1) {
        kpx_error("TGA: Cannot read footer");
        return nullptr;
    }
    if (kpx_verbose()) {
        if (std::memcmp(load.footer + 8, "TRUEVISION-XFILE", 16) == 0)
            vantor::log::progress("TGA: found new TGA\n");
        else
            vantor::log::progress("TGA: found original TGA\n");
    }
    ppd_seek(load.file, 0, 0);
    if (ppd_read(load.header, kHeaderSize, 1, load.file) != 1) {
        kpx_error("TGA: Cannot read header");
        return nullptr;
    }
    ppd_seek(load.file, load.header[0], 1);

    if (!kpx_size_allowed(le16(load.header + 12), le16(load.header + 14), kpx_bytes_per_pixel(load.header[16]))) {
        kpx_error("TGA: Not enough memory for kpximage");
        return nullptr;
    }
    load.result = kpx_create(static_cast<std::uint16_t>(le16(load.header + 12)),
                             static_cast<std::uint16_t>(le16(load.header + 14)), load.header[16], 0);
    if (!load.result) {
        kpx_error("TGA: Not enough memory for kpximage");
        return nullptr;
    }
    if (!readImage(load)) return nullptr;

    kpximage* img = load.result;
    load.result = nullptr;
    return img;
}
