// GIF reader: GIF87a and GIF89a, the first image of the file as an 8-bit
// record. Its palette is the first image's own (local) colour table when it
// has one — the colours it is painted in — else the global colour table.
//
// Extensions are skipped, later images of an animated file are decoded and
// thrown away, interlaced images are put in natural row order.
// Limits: minimum code sizes outside 1..11 are refused; a first code after a
// clear code must be a root code; the code table never grows past 4096
// entries; output beyond the width x height raster is counted but not
// written. The end of the file after the first image counts as the trailer.
// Images whose raster would exceed kpx_max_image_bytes are refused.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "libs/log/progress_log.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kTableSize = 4096;
constexpr int kTrailer = 0x3B;
constexpr int kExtension = 0x21;
constexpr int kImage = 0x2C;

// Raster bytes past the end a decoder may scribble on (see copyString);
// the raster allocation carries them.
constexpr std::size_t kRasterSlack = 16;

// The code table. Every string a code stands for has already been written to
// the raster once (the string of the previous code plus one byte, which is
// where the previous code's string lies followed by the byte after it), so
// the table keeps where that was and how long it is instead of prefix
// chains: a code's string is then one copy out of the raster.
struct LzwTables {
    std::uint32_t offset[kTableSize];  // where the string was written (may lie past the raster)
    std::uint16_t length[kTableSize];
};

// The decoder's code width and the next free code, which grow together.
struct LzwCodes {
    int nextFree;
    int codeSize;
    int mask;

    // As at the start of the data and after every clear code.
    static LzwCodes first(int minSize) { return {(1 << minSize) + 2, minSize + 1, (1 << (minSize + 1)) - 1}; }
};

// Enters the previous code's string (previousLength bytes at previousAt) plus
// one byte as the next free code, while the table has room, and widens the
// codes by a bit when the next free code needs it (12 bits at most).
inline void addCode(LzwTables& t, LzwCodes& c, std::size_t previousAt, std::size_t previousLength) {
    if (c.nextFree >= kTableSize) return;
    t.offset[c.nextFree] = static_cast<std::uint32_t>(previousAt);
    t.length[c.nextFree] = static_cast<std::uint16_t>(previousLength + 1);
    ++c.nextFree;
    if ((c.nextFree & c.mask) == 0 && c.nextFree < kTableSize && c.codeSize < 12) {
        ++c.codeSize;
        c.mask += c.nextFree;
    }
}

// Skips data sub-blocks up to and including the terminating empty block.
void skipSubBlocks(ppd_file* file) {
    for (;;) {
        const int size = ppd_getc(file);
        if (size <= 0) return;
        ppd_seek(file, size, 1);
    }
}

// Writes the string of `length` bytes at raster[from] again at raster[to]
// (from < to), cut at rasterSize. In the string-plus-first-byte case
// (repeatsStart) the string is the `length - 1` bytes that end right where
// it goes, followed by their first byte. Away from the raster's end a short
// string is copied 16 bytes at once; the bytes past its end are rewritten by
// the strings that follow (or cleared when decoding ends).
inline void copyString(unsigned char* raster, std::size_t rasterSize, std::size_t from, std::size_t to,
                       std::size_t length, bool repeatsStart) {
    if (to >= rasterSize) return;
    unsigned char* dest = raster + to;
    const unsigned char* src = raster + from;
    if (!repeatsStart && length <= 16 && to - from >= 16 && to + 16 <= rasterSize + kRasterSlack) {
        std::memcpy(dest, src, 16);
        return;
    }
    const std::size_t room = rasterSize - to;
    if (repeatsStart) {
        const std::size_t body = length - 1 < room ? length - 1 : room;
        std::memcpy(dest, src, body);  // ends where dest starts: no overlap
        if (length <= room) dest[length - 1] = src[0];
    } else {
        std::memcpy(dest, src, length < room ? length : room);
    }
}

// Decodes one image's LZW data into a raster of `rasterSize` bytes (with
// kRasterSlack more allocated), or only counts the output when raster is
// null; *written receives how many raster bytes were written. Returns false
// on a code the table cannot hold. The data's sub-blocks are consumed up to
// their terminator in every case.
bool decodeLzw(ppd_file* file, unsigned char* raster, std::size_t rasterSize, LzwTables& t,
               std::size_t* written = nullptr) {
    const int minSize = ppd_getc(file);
    if (minSize < 1 || minSize > 11) {
        if (minSize >= 0) skipSubBlocks(file);
        return false;
    }
    // Bytes are written below `writable`; decoding stops after a sub-block
    // once rasterSize bytes came out, written or only counted.
    const std::size_t writable = raster ? rasterSize : 0;
    const int clear = 1 << minSize;
    const int end = clear + 1;
    LzwCodes c = LzwCodes::first(minSize);
    int previous = -1;
    std::size_t previousAt = 0;  // where the previous code's string starts

    std::size_t produced = 0;
    std::uint64_t bits = 0;
    int bitCount = 0;
    unsigned char block[255];
    bool ok = true;
    bool done = false;
    while (!done) {
        const int size = ppd_getc(file);
        if (size <= 0) break;  // terminator, or the file ended
        const std::size_t got = ppd_read(block, 1, static_cast<std::size_t>(size), file);
        std::size_t next = 0;
        while (!done) {
            // Whole bytes into the bit buffer while they fit.
            while (bitCount <= 56 && next < got) {
                bits |= static_cast<std::uint64_t>(block[next++]) << bitCount;
                bitCount += 8;
            }
            if (bitCount < c.codeSize) break;
            const int code = static_cast<int>(bits & static_cast<std::uint64_t>(c.mask));
            bits >>= c.codeSize;
            bitCount -= c.codeSize;

            if (code == end) {
                done = true;
            } else if (code == clear) {
                c = LzwCodes::first(minSize);
                previous = -1;
            } else if (previous < 0 || code < clear) {
                if (code > clear) {  // nothing but a root can follow a clear
                    if (kpx_verbose()) vantor::log::progress("GIF: Code %d too large for %d\n", code, c.nextFree);
                    ok = false;
                    done = true;
                    break;
                }
                // A root: its byte.
                if (produced < writable) raster[produced] = static_cast<unsigned char>(code);
                if (previous >= 0) addCode(t, c, previousAt, produced - previousAt);
                previous = code;
                previousAt = produced;
                ++produced;
            } else if (code > c.nextFree) {
                if (kpx_verbose()) vantor::log::progress("GIF: Code %d too large for %d\n", code, c.nextFree);
                ok = false;
                done = true;
            } else {
                // A table string; the code equal to next free is the previous
                // string plus its own first byte, written where it starts.
                const std::size_t previousLength = produced - previousAt;
                const bool repeatsStart = code == c.nextFree;
                const std::size_t from = repeatsStart ? previousAt : t.offset[code];
                const std::size_t length = repeatsStart ? previousLength + 1 : t.length[code];
                copyString(raster, writable, from, produced, length, repeatsStart);
                addCode(t, c, previousAt, previousLength);
                previous = code;
                previousAt = produced;
                produced += length;
            }
        }
        if (got < static_cast<std::size_t>(size)) break;  // the file ended inside a block
        if (!done && produced >= rasterSize) {
            if (kpx_verbose()) vantor::log::progress("GIF: Raster full before eoi code\n");
            done = true;
        }
        if (done) skipSubBlocks(file);
    }
    // Bytes a short string's copy put past the output's end are not output.
    if (raster) std::memset(raster + (produced < rasterSize ? produced : rasterSize), 0, kRasterSlack);

    if (produced != rasterSize && kpx_verbose()) {
        vantor::log::progress("GIF: WARNING: wrong rastersize: %ld bytes\n", static_cast<long>(produced));
        vantor::log::progress("GIF:          instead of %ld bytes\n", static_cast<long>(rasterSize));
    }
    if (written) *written = produced < rasterSize ? produced : rasterSize;
    return ok;
}

struct GifLoad {
    unsigned char* descriptor = nullptr;
    unsigned char* header = nullptr;
    unsigned char* globalTable = nullptr;
    unsigned char* localTable = nullptr;
    unsigned char* raster = nullptr;
    LzwTables* tables = nullptr;
    ppd_file* file = nullptr;

    ~GifLoad() {
        std::free(descriptor);
        std::free(header);
        std::free(globalTable);
        std::free(localTable);
        std::free(raster);
        std::free(tables);
        if (file) ppd_close(file);
    }
    kpximage* fail(const char* message) {
        kpx_error(message);
        return nullptr;
    }
    // The same for the steps of the load, which answer whether to go on.
    bool failed(const char* message) {
        kpx_error(message);
        return false;
    }
};

int le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// Skips the local colour table of a later image, announced by its descriptor's
// packed byte.
void skipLocalTable(ppd_file* file, unsigned char packed) {
    if (packed & 0x80) ppd_seek(file, 3 * (1 << ((packed & 7) + 1)), 1);
}

// Raster row r holds image row interlacedRow(r): rows 0, 8, 16...; then 4, 12...;
// then 2, 6...; then 1, 3, 5... Only the first `rows` raster rows hold
// decoded pixels; the image is zero already where the others go.
void deinterlace(const unsigned char* raster, unsigned char* image, int width, int height, std::size_t rows) {
    static const int start[4] = {0, 4, 2, 1};
    static const int step[4] = {8, 8, 4, 2};
    const std::size_t w = static_cast<std::size_t>(width);
    std::size_t r = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height && r < rows; y += step[pass], ++r)
            std::memcpy(image + y * w, raster + r * w, w);
}

// What the first image of the file left for the record.
struct FirstImage {
    bool found = false;
    int width = 0, height = 0;
    bool interlaced = false;
    int localEntries = 0;     // entries of its local colour table, 0 without one
    std::size_t decoded = 0;  // raster bytes its codes filled
};

// The signature and the global colour table; `entries` is the table's size
// as the header gives it, also when there is no table.
bool readHeader(GifLoad& load, int& entries) {
    if (ppd_read(load.header, 13, 1, load.file) != 1) return load.failed("GIF: Couldn't read imageheader");
    if (std::memcmp(load.header, "GIF87a", 6) == 0) {
        if (kpx_verbose()) vantor::log::progress("GIF: \"GIF87a\" signature found\n");
    } else if (std::memcmp(load.header, "GIF89a", 6) == 0) {
        if (kpx_verbose()) vantor::log::progress("GIF: \"GIF89a\" signature found\n");
    } else {
        return load.failed("GIF: Not a valid GIF file");
    }
    const unsigned char packed = load.header[10];
    entries = 1 << ((packed & 7) + 1);
    if (packed & 0x80) {
        load.globalTable = static_cast<unsigned char*>(std::malloc(3 * entries));
        if (!load.globalTable) return load.failed("GIF: Not enough memory for palette");
        if (ppd_read(load.globalTable, 3 * entries, 1, load.file) != 1)
            return load.failed("GIF: Couldn't read palette");
    }
    if (kpx_verbose())
        vantor::log::progress("GIF: Image is %ibpp, with %i palette entries,\n", ((packed >> 4) & 7) + 1, entries);
    return true;
}

// The first image: its descriptor, its local colour table, and its codes
// decoded into the raster.
bool readFirstImage(GifLoad& load, FirstImage& image) {
    if (kpx_verbose()) vantor::log::progress("GIF: Found image descriptor\n");
    if (ppd_read(load.descriptor, 9, 1, load.file) != 1) return load.failed("GIF: Couldn't read gifimage");
    if (load.descriptor[8] & 0x80) {
        image.localEntries = 1 << ((load.descriptor[8] & 7) + 1);
        load.localTable = static_cast<unsigned char*>(std::malloc(3 * image.localEntries));
        if (!load.localTable) return load.failed("GIF: Not enough memory for palette");
        if (ppd_read(load.localTable, 3 * image.localEntries, 1, load.file) != 1)
            return load.failed("GIF: Couldn't read palette");
    }
    image.width = le16(load.descriptor + 4);
    image.height = le16(load.descriptor + 6);
    const std::size_t size = static_cast<std::size_t>(image.width) * image.height;
    if (!kpx_size_allowed(image.width, image.height, 1)) return load.failed("GIF: Not enough memory for raster");
    load.raster = static_cast<unsigned char*>(std::calloc(size + kRasterSlack, 1));
    if (!load.raster) return load.failed("GIF: Not enough memory for raster");
    if (!decodeLzw(load.file, load.raster, size, *load.tables, &image.decoded))
        return load.failed("GIF: Decoding error");
    if (kpx_verbose()) vantor::log::progress("GIF: GIF read\n");
    image.interlaced = (load.descriptor[8] & 0x40) != 0;
    image.found = true;
    return true;
}

// A later image of an animation: its codes are decoded to check them, but
// its pixels are thrown away, so they are never stored: a small file of many
// large images costs no more than its codes.
bool skipLaterImage(GifLoad& load) {
    if (kpx_verbose()) {
        vantor::log::progress("GIF: Only first image of animated gif supported\n");
        vantor::log::progress("GIF: The rest is read and ignored\n");
    }
    unsigned char descriptor[9];
    if (ppd_read(descriptor, 9, 1, load.file) != 1) return load.failed("GIF: Couldn't read gifimagetemp");
    skipLocalTable(load.file, descriptor[8]);
    const std::size_t size = static_cast<std::size_t>(le16(descriptor + 4)) * le16(descriptor + 6);
    if (!kpx_size_allowed(le16(descriptor + 4), le16(descriptor + 6), 1))
        return load.failed("GIF: Not enough memory for rastertemp");
    if (!decodeLzw(load.file, nullptr, size, *load.tables)) return load.failed("GIF: Decoding error");
    return true;
}

// The record: 8 bit with the local table as palette, else the global one;
// an interlaced raster is put in row order, a natural one taken over.
kpximage* makeRecord(GifLoad& load, const FirstImage& image, int entries) {
    const int colors = load.localTable ? image.localEntries : entries;
    kpximage* img = kpx_create(static_cast<std::uint16_t>(image.width), static_cast<std::uint16_t>(image.height), 8,
                               static_cast<std::uint16_t>(colors));
    if (!img) return load.fail("GIF: Not enough memory for kpximage");
    if (load.localTable)
        std::memcpy(img->palette, load.localTable, 3 * image.localEntries);
    else if (load.globalTable)
        std::memcpy(img->palette, load.globalTable, 3 * entries);
    if (image.interlaced) {
        vantor::log::progress("GIF: Converting interlaced image\n");
        const std::size_t rows = image.width ? (image.decoded + image.width - 1) / image.width : 0;
        deinterlace(load.raster, img->image, image.width, image.height, rows);
    } else {
        // The raster is the picture in natural order: the record takes it
        // over instead of a copy (a large declared image that few codes fill
        // then never touches its untouched pages).
        std::free(img->image);
        img->image = load.raster;
        load.raster = nullptr;
    }
    return img;
}

}  // namespace

kpximage* kpx_load_gif(const char* path) {
    GifLoad load;
    load.descriptor = static_cast<unsigned char*>(std::malloc(9));
    if (!load.descriptor) return load.fail("GIF: Not enough memory for gifimage");
    load.header = static_cast<unsigned char*>(std::malloc(13));
    if (!load.header) return load.fail("GIF: Not enough memory for gifhead");
    if (kpx_verbose()) vantor::log::progress("GIF: Loading file \"%s\"...\n", path);

    load.file = ppd_open(path);
    if (!load.file) return load.fail("GIF: File not found");
    int entries = 0;
    if (!readHeader(load, entries)) return nullptr;

    load.tables = static_cast<LzwTables*>(std::calloc(1, sizeof(LzwTables)));
    if (!load.tables) return load.fail("GIF: Not enough memory for raster");

    FirstImage image;
    for (;;) {
        const int introducer = ppd_getc(load.file);
        if (introducer == kTrailer || (introducer < 0 && image.found)) break;
        if (introducer < 0) return load.fail("GIF: No image found before the end of the file");
        if (introducer == kExtension) {
            if (kpx_verbose()) vantor::log::progress("GIF: Reading and ignoring extension\n");
            ppd_getc(load.file);
            skipSubBlocks(load.file);
        } else if (introducer == kImage) {
            if (!(image.found ? skipLaterImage(load) : readFirstImage(load, image))) return nullptr;
        }
        // any other byte is skipped
    }
    if (!image.found) return load.fail("GIF: No image found before the end of the file");
    return makeRecord(load, image, entries);
}
