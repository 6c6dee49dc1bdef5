// Decodes pictures with the KPX readers and writes each as raw 32-bit RGBA
// (a header line "width height\n", then the rows), so the web build's readers
// (WebAssembly, libjpeg-turbo built from source without SIMD) can be compared
// with the native ones. With --make DIR it first writes the samples: a JPEG,
// a TGA and a PCX of a picture with edges and smooth areas.
#include <cstdio>
#include <cstring>
#include <string>

#include "kpx/kpx.h"

namespace {

bool makeSamples(const std::string& dir) {
    kpximage* img = kpx_create(97, 61, 24, 0);  // odd sizes: partial JPEG blocks
    if (!img) return false;
    for (int y = 0; y < img->height; ++y)
        for (int x = 0; x < img->width; ++x) {
            unsigned char* p = img->image + (y * img->width + x) * 3;
            p[0] = static_cast<unsigned char>(x * 255 / 96);
            p[1] = static_cast<unsigned char>((x / 8 + y / 8) % 2 ? 200 : 40);
            p[2] = static_cast<unsigned char>(y * 4);
        }
    kpx_save_jpg((dir + "/sample.jpg").c_str(), img);
    const bool ok = kpx_save_tga((dir + "/sample.tga").c_str(), img, 1) &&
                    kpx_save_pcx((dir + "/sample.pcx").c_str(), img) && kpx_error_count() == 0;
    kpx_free(img);
    return ok;
}

kpximage* load(const std::string& path) {
    const std::string ext = path.size() > 4 ? path.substr(path.size() - 4) : "";
    if (ext == ".jpg") return kpx_load_jpg(path.c_str());
    if (ext == ".tga") return kpx_load_tga(path.c_str());
    if (ext == ".pcx") return kpx_load_pcx(path.c_str());
    if (ext == ".gif") return kpx_load_gif(path.c_str());
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 2 && !std::strcmp(argv[1], "--make")) {
        if (!makeSamples(argv[2])) {
            std::fprintf(stderr, "cannot write the samples into %s\n", argv[2]);
            return 1;
        }
        first = 3;
    }
    if ((argc - first) % 2) {
        std::fprintf(stderr, "usage: %s [--make DIR] [PICTURE OUT.rgba]...\n", argv[0]);
        return 2;
    }
    for (int i = first; i + 1 < argc; i += 2) {
        kpximage* img = load(argv[i]);
        if (!img || !kpx_convert_32(img)) {
            std::fprintf(stderr, "%s: not read\n", argv[i]);
            return 1;
        }
        std::FILE* out = std::fopen(argv[i + 1], "wb");
        if (!out) return 1;
        std::fprintf(out, "%d %d\n", img->width, img->height);
        std::fwrite(img->image, 4, std::size_t(img->width) * img->height, out);
        std::fclose(out);
        kpx_free(img);
    }
    return 0;
}
