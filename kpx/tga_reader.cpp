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

bool readImage(TgaLoad& load) {
    const unsigned char* h = load.header;
    const int mapType = h[1];
    const int type = h[2];
    const int firstIndex = le16(h + 3);
    const int mapLength = le16(h + 5);
    const int entrySize = h[7];
    const int width = le16(h + 12);
    const int height = le16(h + 14);
    const int depth = h[16];
    const int descriptor = h[17];
    const int descriptorAlpha = descriptor & 0x0F;
    const bool trueColour = type == 2 || type == 10;
    const bool mapped = type == 1 || type == 9;
    const bool runLength = type >= 9;

    int colourBits =
        trueColour ? 3 * std::min(depth / 3, 8) : (descriptorAlpha < depth ? depth - descriptorAlpha : depth);
    int alphaBits = descriptorAlpha;
    if (depth < descriptorAlpha + colourBits) {
        alphaBits = depth - colourBits;
        if (kpx_verbose()) {
            vantor::log::progress("TGA: %d bit image, %d bit alpha is greater than %d total bits per pixel\n",
                                  colourBits, descriptorAlpha, depth);
            vantor::log::progress("TGA: reducing to %d bit alpha\n", alphaBits);
        }
    } else if (descriptorAlpha + colourBits < depth) {
        alphaBits = depth - colourBits;
        if (kpx_verbose()) {
            vantor::log::progress("TGA: %d bit image, %d bit alpha is less than %d total bits per pixel\n", colourBits,
                                  descriptorAlpha, depth);
            vantor::log::progress("TGA: increasing to %d bit alpha\n", alphaBits);
        }
    }

    if (trueColour) {
        if (kpx_verbose()) vantor::log::progress("TGA: %d bit color image, %d bit alpha\n", colourBits, alphaBits);
    } else if (type == 3 || type == 11) {
        if (kpx_verbose()) vantor::log::progress("TGA: %d bit grayscale image, %d bit alpha\n", colourBits, alphaBits);
    } else if (mapped) {
        const int entryColour = 3 * std::min(entrySize / 3, 8);
        if (kpx_verbose())
            vantor::log::progress("TGA: %d bit indexed image, %d bit alpha (%d bit indices)\n", entryColour,
                                  entrySize > entryColour ? entrySize - entryColour : 0, depth);
    } else {
        return load.fail("TGA: unrecognized image type");
    }
    if (mapped && mapType != 1) return load.fail("TGA: indexed image has invalid color map type");
    if (!mapped && mapType != 0) return load.fail("TGA: non-indexed image has invalid color map type");

    int paletteSize = 0;
    if (mapType == 1) {
        if (kpx_verbose())
            vantor::log::progress("TGA: reading color map (%d + %d) * (%d bits)\n", firstIndex, mapLength, entrySize);
        if (mapLength == 0 || firstIndex + mapLength > 0xFFFF) return load.fail("TGA: invalid color map length");
        if (depth != 8) return load.fail("TGA: only 8 bit color map indices supported");
        paletteSize = firstIndex + mapLength;
        const std::size_t entryBytes = (static_cast<std::size_t>(entrySize) + 7) / 8;
        std::size_t mapBytes = static_cast<std::size_t>(paletteSize) * entryBytes;
        auto* raw = static_cast<unsigned char*>(std::calloc(mapBytes ? mapBytes : 1, 1));
        load.cmap = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(paletteSize) * 3, 1));
        if (!raw || !load.cmap) {
            std::free(raw);
            return load.fail("TGA: Not enough memory for cmap");
        }
        const std::size_t stored = static_cast<std::size_t>(mapLength) * entryBytes;
        if (stored && ppd_read(raw + firstIndex * entryBytes, stored, 1, load.file) != 1) {
            std::free(raw);
            return load.fail("TGA: error reading colormap");
        }
        for (int i = firstIndex; i < paletteSize; ++i)
            mapEntryToRgb(raw + i * entryBytes, entryBytes, load.cmap + 3 * i);
        std::free(raw);
        colourBits = 8;
        alphaBits = 0;
    }

    const std::size_t pixelBytes = (static_cast<std::size_t>(colourBits) + alphaBits + 7) / 8;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    const std::size_t size = pixels * pixelBytes;
    const bool topDown = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    // Files stored top to bottom and left to right are decoded straight into
    // the record; the others into a work buffer that is then reordered.
    const bool natural = topDown && !rightToLeft && size == kpx_image_size(load.result);
    unsigned char* pixelData = load.result->image;
    if (!natural) {
        if (!kpx_size_allowed(width, height, pixelBytes)) return load.fail("TGA: Not enough memory for data");
        load.data = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
        if (!load.data) return load.fail("TGA: Not enough memory for data");
        pixelData = load.data;
    }

    long read = 0;
    if (runLength) {
        PacketReader packets{load.file, pixelBytes};
        read = packets.read(pixelData, pixels);
        if (read < 0) return false;
    } else if (pixelBytes > 0) {
        // All whole pixels the file still holds, in one piece.
        const std::uint32_t pos = ppd_tell(load.file);
        const std::size_t left = pos < load.file->size ? load.file->size - pos : 0;
        read = static_cast<long>(std::min(pixels, left / pixelBytes));
        if (read > 0) ppd_read(pixelData, static_cast<std::size_t>(read) * pixelBytes, 1, load.file);
    }
    if (read == 0 && pixels > 0) return load.fail("TGA: Could not read from file");

    // Only the pixels the file delivered are turned and placed: the others
    // are zero in both buffers and stay zero through every step below, so a
    // short file that declares a large picture costs no more than its bytes.
    const std::size_t delivered = static_cast<std::size_t>(read);
    if (pixelBytes >= 3)
        for (unsigned char* p = pixelData; p < pixelData + delivered * pixelBytes; p += pixelBytes)
            std::swap(p[0], p[2]);

    // 1-5-5-5 (and plain 5-5-5) little-endian pixels to 5-6-5 high byte first,
    // green doubled into six bits, the alpha bit dropped.
    const bool fiveFiveFive = colourBits == 15 && (alphaBits == 1 || (alphaBits == 0 && trueColour));
    if (fiveFiveFive) {
        for (std::size_t i = 0; i < delivered; ++i) {
            unsigned char* p = pixelData + 2 * i;
            const unsigned v = p[0] | (p[1] << 8);
            p[0] = static_cast<unsigned char>((v >> 7) & 0xFF);
            p[1] = static_cast<unsigned char>((((v >> 5) << 6) | (v & 0x1F)) & 0xFF);
        }
        if (alphaBits == 0) load.result->bpp = 16;
    }

    if (!natural && size == kpx_image_size(load.result)) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
        const std::size_t rows = width > 0 ? (delivered + width - 1) / static_cast<std::size_t>(width) : 0;
        for (std::size_t r = 0; r < rows; ++r) {
            const unsigned char* src = load.data + r * rowBytes;
            unsigned char* dst = load.result->image + (topDown ? r : height - 1 - r) * rowBytes;
            if (rightToLeft) {
                for (int x = 0; x < width; ++x)
                    std::memcpy(dst + x * pixelBytes, src + (width - 1 - x) * pixelBytes, pixelBytes);
            } else {
                std::memcpy(dst, src, rowBytes);
            }
        }
    }

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
