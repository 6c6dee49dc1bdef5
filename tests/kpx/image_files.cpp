#include "tests/kpx/image_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <utility>

#include <jpeglib.h>
#include <stb/stb_image.h>

namespace vantor::test {

Rgba recordPixel(const kpximage* img, int x, int y) {
    const std::size_t bytes = kpx_bytes_per_pixel(img->bpp);
    const std::uint8_t* p = img->image + (static_cast<std::size_t>(y) * img->width + x) * bytes;
    switch (bytes) {
    case 1:
        if (img->colors == 0) return {p[0], p[0], p[0], 255};
        return {img->palette[3 * p[0]], img->palette[3 * p[0] + 1], img->palette[3 * p[0] + 2], 255};
    case 2: return {p[0] & 0xF8, (((p[0] & 7) * 8) | (p[1] >> 5)) * 4, (p[1] & 0x1F) * 8, 255};
    case 3: return {p[0], p[1], p[2], 255};
    default: return {p[0], p[1], p[2], p[3]};
    }
}

Picture testPicture(int width, int height, int channels, std::uint32_t seed) {
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.channels = channels;
    pic.pixels.resize(static_cast<std::size_t>(width) * height * channels);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                state = state * 1103515245u + 12345u;
                std::uint8_t v;
                if (y < height / 3)
                    v = static_cast<std::uint8_t>((x * 255) / (width > 1 ? width - 1 : 1) + c * 40);  // gradient
                else if (y < 2 * height / 3)
                    v = static_cast<std::uint8_t>(((x / 7) % 2) * 200 + c * 10);  // flat runs
                else
                    v = static_cast<std::uint8_t>(state >> 24);  // noise
                pic.pixels[(static_cast<std::size_t>(y) * width + x) * channels + c] = v;
            }
    return pic;
}

Picture stbDecode(const std::string& bytes, int channels) {
    Picture pic;
    int w = 0, h = 0, n = 0;
    unsigned char* data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &w, &h, &n, channels);
    if (!data) return pic;
    pic.width = w;
    pic.height = h;
    pic.channels = channels ? channels : n;
    pic.pixels.assign(data, data + static_cast<std::size_t>(w) * h * pic.channels);
    stbi_image_free(data);
    return pic;
}

// ---- GIF ------------------------------------------------------------------

namespace {

void put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

// Variable-length LZW codes, least significant bit first, in sub-blocks.
class CodeWriter {
public:
    void write(int code, int size) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<char>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::string finish() {
        if (count_ > 0) bytes_.push_back(static_cast<char>(bits_ & 0xFF));
        std::string out;
        for (std::size_t i = 0; i < bytes_.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, bytes_.size() - i);
            out += static_cast<char>(n);
            out.append(bytes_, i, n);
        }
        out += '\0';
        return out;
    }

private:
    std::string bytes_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

std::string lzwEncode(const std::vector<std::uint8_t>& indices, int minSize, bool deferredClear) {
    const int clear = 1 << minSize;
    const int end = clear + 1;
    CodeWriter out;
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    int size = minSize + 1;
    out.write(clear, size);
    auto added = [&]() {
        ++next;
        if (next > (1 << size) && size < 12) ++size;
    };
    int w = -1;
    for (std::uint8_t k : indices) {
        if (w < 0) {
            w = k;
            continue;
        }
        auto it = table.find({w, k});
        if (it != table.end()) {
            w = it->second;
            continue;
        }
        out.write(w, size);
        if (next < 4096) {
            table[{w, k}] = next;
            added();
            if (next == 4096 && !deferredClear) {
                out.write(clear, size);
                table.clear();
                next = clear + 2;
                size = minSize + 1;
            }
        }
        w = k;
    }
    if (w >= 0) {
        out.write(w, size);
        if (next < 4096) added();
    }
    out.write(end, size);
    return out.finish();
}

}  // namespace

std::vector<std::uint8_t> gifPalette(int entries) {
    std::vector<std::uint8_t> pal;
    for (int i = 0; i < entries; ++i) {
        pal.push_back(static_cast<std::uint8_t>(i * 7));
        pal.push_back(static_cast<std::uint8_t>(255 - i));
        pal.push_back(static_cast<std::uint8_t>(i * 3));
    }
    return pal;
}

std::string gifFile(const GifSpec& spec) {
    std::string out = spec.gif89 ? "GIF89a" : "GIF87a";
    const int screenW = spec.frames.empty() ? 1 : spec.frames[0].width;
    const int screenH = spec.frames.empty() ? 1 : spec.frames[0].height;
    put16(out, screenW);
    put16(out, screenH);
    out += static_cast<char>((spec.globalTable ? 0x80 : 0) | (7 << 4) | spec.tableSizeCode);
    out += '\0';
    out += '\0';
    if (spec.globalTable) {
        const auto pal = gifPalette(1 << (spec.tableSizeCode + 1));
        out.append(pal.begin(), pal.end());
    }
    for (const GifFrame& f : spec.frames) {
        if (spec.graphicControl) out += std::string("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8);
        out += ',';
        put16(out, 0);
        put16(out, 0);
        put16(out, f.width);
        put16(out, f.height);
        int packed = f.interlaced ? 0x40 : 0;
        if (f.localTableSize >= 0) packed |= 0x80 | f.localTableSize;
        out += static_cast<char>(packed);
        if (f.localTableSize >= 0) {
            std::string table(3u << (f.localTableSize + 1), '\x55');
            std::copy_n(f.localTable.begin(), std::min(f.localTable.size(), table.size()), table.begin());
            out += table;
        }
        std::vector<std::uint8_t> raster;
        if (f.interlaced) {
            static const int start[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    raster.insert(raster.end(), f.indices.begin() + y * f.width, f.indices.begin() + (y + 1) * f.width);
        } else {
            raster = f.indices;
        }
        out += static_cast<char>(spec.minCodeSize);
        out += lzwEncode(raster, spec.minCodeSize, spec.deferredClear);
    }
    if (spec.trailer) out += ';';
    return out;
}

// ---- TGA ------------------------------------------------------------------

std::string tgaFile(const TgaSpec& spec, int width, int height, const std::vector<std::uint8_t>& filePixels) {
    const bool mapped = spec.type == 1 || spec.type == 9;
    const std::size_t p = (spec.depth + 7) / 8;
    std::string out(18, '\0');
    out[1] = mapped ? 1 : 0;
    out[2] = static_cast<char>(spec.type);
    const int entryBytes = (spec.mapEntrySize + 7) / 8;
    const int mapLength = mapped ? static_cast<int>(spec.map.size()) / entryBytes : 0;
    out[3] = static_cast<char>(spec.mapFirst & 0xFF);
    out[4] = static_cast<char>(spec.mapFirst >> 8);
    out[5] = static_cast<char>(mapLength & 0xFF);
    out[6] = static_cast<char>(mapLength >> 8);
    out[7] = mapped ? static_cast<char>(spec.mapEntrySize) : 0;
    out[12] = static_cast<char>(width & 0xFF);
    out[13] = static_cast<char>(width >> 8);
    out[14] = static_cast<char>(height & 0xFF);
    out[15] = static_cast<char>(height >> 8);
    out[16] = static_cast<char>(spec.depth);
    out[17] = static_cast<char>(spec.alphaBits | (spec.topDown ? 0x20 : 0) | (spec.rightToLeft ? 0x10 : 0));
    out[0] = 3;  // an ID field the reader must skip
    out += "kpx";
    if (mapped) out.append(spec.map.begin(), spec.map.end());

    std::vector<std::uint8_t> stored;
    for (int sy = 0; sy < height; ++sy) {
        const int y = spec.topDown ? sy : height - 1 - sy;
        for (int sx = 0; sx < width; ++sx) {
            const int x = spec.rightToLeft ? width - 1 - sx : sx;
            const std::uint8_t* px = filePixels.data() + (static_cast<std::size_t>(y) * width + x) * p;
            stored.insert(stored.end(), px, px + p);
        }
    }
    if (spec.type < 9) {
        out.append(stored.begin(), stored.end());
    } else {
        // Packets over the whole image, crossing row ends.
        const std::size_t n = stored.size() / p;
        auto same = [&](std::size_t a, std::size_t b) { return std::memcmp(&stored[a * p], &stored[b * p], p) == 0; };
        std::size_t i = 0;
        while (i < n) {
            std::size_t run = 1;
            while (i + run < n && run < 128 && same(i, i + run)) ++run;
            if (run > 1) {
                out += static_cast<char>(0x80 | (run - 1));
                out.append(reinterpret_cast<const char*>(&stored[i * p]), p);
            } else {
                std::size_t raw = 1;
                while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1))) ++raw;
                run = raw;
                out += static_cast<char>(raw - 1);
                out.append(reinterpret_cast<const char*>(&stored[i * p]), raw * p);
            }
            i += run;
        }
    }
    if (spec.footer) {
        out += std::string(8, '\0');
        out += "TRUEVISION-XFILE.";
        out += '\0';
    }
    return out;
}

// ---- JPEG -----------------------------------------------------------------

std::string jpegFile(const Picture& picture, int quality, bool progressive, bool subsampled) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = picture.width;
    cinfo.image_height = picture.height;
    cinfo.input_components = picture.channels;
    cinfo.in_color_space = picture.channels == 1 ? JCS_GRAYSCALE : picture.channels == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (!subsampled)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < picture.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.at(0, y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

}  // namespace vantor::test
