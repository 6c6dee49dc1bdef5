// kpx: looks at and converts images the way the demo's image cache reads them.
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "tools/kpx/montage.h"
#include "tools/kpx/netpbm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kUsage =
    "usage: kpx info FILE...\n"
    "       kpx convert IN OUT [--quality N] [--rle]\n"
    "       kpx montage OUT.png FILE...\n"
    "\n"
    "Reads PCX, GIF, TGA and JPEG images with the reader the demo's image cache\n"
    "picks for the name (extension \"pcx\", \"gif\", \"tga\" or \"jpg\", all lower or\n"
    "all upper case).\n"
    "\n"
    "  info      one line per file: size, bits per pixel, palette entries, or\n"
    "            the reader's error\n"
    "  convert   writes OUT by its extension: .jpg, .pcx, .tga, and for\n"
    "            inspection .ppm (P6) and .pam (P7, RGB_ALPHA)\n"
    "  montage   a contact sheet: every FILE as a thumbnail with its name and\n"
    "            size under it (transparency over a checkerboard), as a PNG\n"
    "\n"
    "options:\n"
    "  --quality N  JPEG quality 0 to 100 (default 75)\n"
    "  --rle        run-length encode TGA output\n"
    "  --verbose    show the library's progress lines on standard error\n"
    "  --help       this text\n";

std::string lowerExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// Loads a file; on failure prints the reader's error on stderr.
kpximage* load(const std::string& path) {
    const ImageReader reader = imageReaderFor(path);
    if (!reader) {
        std::fprintf(stderr, "kpx: %s: not a .pcx, .gif, .tga or .jpg name\n", path.c_str());
        return nullptr;
    }
    kpx_error_clear();
    kpximage* img = reader(path.c_str());
    if (!img) std::fprintf(stderr, "kpx: %s: %s\n", path.c_str(), kpx_error_last());
    return img;
}

// 32-bit records come from the TGA reader in red, green, blue, alpha order;
// the converters and the JPEG writer take alpha first.
void rgbaToArgb(kpximage* img) {
    const std::size_t pixels = static_cast<std::size_t>(img->width) * img->height;
    for (std::size_t i = 0; i < pixels; ++i) {
        unsigned char* p = img->image + 4 * i;
        const unsigned char a = p[3];
        std::memmove(p + 1, p, 3);
        p[0] = a;
    }
}

// Brings the record to 24 bits (red, green, blue) for writers without
// palette or alpha support.
bool toRgb(kpximage* img) {
    if (img->bpp == 24) return true;
    if (img->bpp == 32) rgbaToArgb(img);
    return kpx_convert_24(img) == 1;
}

int info(const std::vector<std::string>& files, std::FILE* out) {
    int status = 0;
    for (const std::string& file : files) {
        const ImageReader reader = imageReaderFor(file);
        if (!reader) {
            std::fprintf(out, "%s: not a .pcx, .gif, .tga or .jpg name\n", file.c_str());
            status = 1;
            continue;
        }
        kpx_error_clear();
        kpximage* img = reader(file.c_str());
        if (!img) {
            std::fprintf(out, "%s: %s\n", file.c_str(), kpx_error_last());
            status = 1;
            continue;
        }
        std::fprintf(out, "%s: %ux%u, %u bpp, %u palette entries\n", file.c_str(), img->width, img->height, img->bpp,
                     img->colors);
        kpx_free(img);
    }
    return status;
}

int convert(const std::string& in, const std::string& outPath, int quality, bool rle) {
    const std::string ext = lowerExtension(outPath);
    if (ext != "jpg" && ext != "jpeg" && ext != "pcx" && ext != "tga" && ext != "ppm" && ext != "pam") {
        std::fprintf(stderr, "kpx: %s: output must end in .jpg, .pcx, .tga, .ppm or .pam\n", outPath.c_str());
        return 2;
    }
    kpximage* img = load(in);
    if (!img) return 1;

    std::string failure;
    kpx_error_clear();
    if (ext == "ppm" || ext == "pam") {
        failure = ext == "ppm" ? writePpm(outPath, img) : writePam(outPath, img);
    } else if (ext == "jpg" || ext == "jpeg") {
        if (toRgb(img)) {
            kpx_set_jpg_quality(quality);
            kpx_save_jpg(outPath.c_str(), img);
        }
    } else if (ext == "pcx") {
        if (img->bpp == 8 || toRgb(img)) kpx_save_pcx(outPath.c_str(), img);
    } else {
        if (img->bpp == 32 || toRgb(img)) kpx_save_tga(outPath.c_str(), img, rle ? 1 : 0);
    }
    if (failure.empty() && kpx_error_count() > 0) failure = kpx_error_last();
    kpx_free(img);
    if (!failure.empty()) {
        std::fprintf(stderr, "kpx: %s: %s\n", outPath.c_str(), failure.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    int quality = 75;
    bool rle = false;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--quality") {
            char* end = nullptr;
            const long q = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : -1;
            if (i + 1 >= argc || *end != '\0' || q < 0 || q > 100) {
                std::fprintf(stderr, "kpx: --quality needs a number from 0 to 100\n");
                return 2;
            }
            quality = static_cast<int>(q);
            ++i;
        } else if (a == "--rle") {
            rle = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "kpx: unknown option %s\n%s", a.c_str(), kUsage);
            return 2;
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // The library prints its progress lines on standard output (some of them
    // whatever its switch says); the tool's own results keep standard output
    // to themselves, and the library's lines go to stderr or nowhere.
    std::fflush(stdout);
    std::FILE* out = fdopen(dup(STDOUT_FILENO), "w");
    if (!out || !std::freopen(verbose ? "/dev/stderr" : "/dev/null", "w", stdout)) {
        std::fprintf(stderr, "kpx: cannot set up output\n");
        return 1;
    }

    int status = 2;
    const std::string command = args[0];
    if (command == "info" && args.size() >= 2) {
        status = info(std::vector<std::string>(args.begin() + 1, args.end()), out);
    } else if (command == "convert" && args.size() == 3) {
        status = convert(args[1], args[2], quality, rle);
    } else if (command == "montage" && args.size() >= 3 && lowerExtension(args[1]) == "png") {
        status = writeMontage(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    } else {
        std::fputs(kUsage, stderr);
    }
    std::fclose(out);
    return status;
}
