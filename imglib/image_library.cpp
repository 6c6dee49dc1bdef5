#include "imglib/image_library.h"

#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

#include <cstdio>
#include <cstring>
#include <new>

// Only the all-lower and all-upper spellings count. Names shorter than three
// characters have no extension and load nothing.
ImageReader imageReaderFor(const std::string& name) {
    if (name.size() < 3) return nullptr;
    const std::string ext = name.substr(name.size() - 3);
    if (ext == "TGA" || ext == "tga") return kpx_load_tga;
    if (ext == "JPG" || ext == "jpg") return kpx_load_jpg;
    if (ext == "GIF" || ext == "gif") return kpx_load_gif;
    if (ext == "PCX" || ext == "pcx") return kpx_load_pcx;
    return nullptr;
}

namespace {

std::size_t entrySize(const ImageEntry* entry) {
    const kpximage* img = entry->image;
    return static_cast<std::size_t>(img->width) * img->height * (img->bpp / 8);
}

void writeStatsTo(std::FILE* out, const ImageEntry* first) {
    std::fprintf(out, "\nfiles loaded:\n");
    int count = 0;
    double total = 0.0;
    for (const ImageEntry* e = first; e; e = e->next) {
        const std::size_t size = entrySize(e);
        std::fprintf(out, "%s\t", e->name.c_str());
        std::fprintf(out, "size: %d\n", static_cast<int>(size));
        ++count;
        total += static_cast<double>(size);
    }
    std::fprintf(out, "there are %d files loaded\n", count);
    std::fprintf(out, "they use %.2f mb\n", total / 1048576.0);
}

}  // namespace

ImageLibrary::ImageLibrary() : first(nullptr) {}

ImageLibrary::~ImageLibrary() {
    while (first) {
        ImageEntry* next = first->next;
        kpx_free(first->image);
        delete first;
        first = next;
    }
}

void ImageLibrary::setPath(const char* directory) { path = directory ? directory : ""; }

kpximage* ImageLibrary::getImage(const char* name, const char* directory) {
    ImageEntry* last = nullptr;
    for (ImageEntry* e = first; e; e = e->next) {
        if (e->name == name) {
            vantor::log::progress("\nfound image %s\n", e->name.c_str());
            return e->image;
        }
        last = e;
    }

    const std::string key = name;
    const std::string fullPath = directory ? std::string(directory) + key : path + key;
    vantor::log::progress("\nloading %s from disk\n", fullPath.c_str());

    const ImageReader reader = imageReaderFor(key);
    kpximage* img = reader ? reader(fullPath.c_str()) : nullptr;
    if (!img) {
        vantor::log::progress("could not load image\n");
        return nullptr;
    }

    auto* entry = new (std::nothrow) ImageEntry{key, img, nullptr};
    if (!entry) {
        vantor::log::progress("error! could not alloc image\n");
        kpx_free(img);
        return nullptr;
    }
    if (last)
        last->next = entry;
    else
        first = entry;
    return img;
}

int ImageLibrary::freeImage(const char* name) {
    ImageEntry* previous = nullptr;
    for (ImageEntry* e = first; e; previous = e, e = e->next) {
        if (e->name != name) continue;
        (previous ? previous->next : first) = e->next;
        kpx_free(e->image);
        delete e;
        return 0;
    }
    vantor::log::progress("image to be freed (%s) was not found!", name);
    return 1;
}

void ImageLibrary::printStats() const { writeStatsTo(stdout, first); }

int ImageLibrary::writeStats() const {
    std::FILE* out = std::fopen("imglib.sta", "w");
    if (!out) {
        vantor::log::progress("could not create imglib.sta\n");
        return 1;
    }
    writeStatsTo(out, first);
    std::fclose(out);
    return 0;
}
