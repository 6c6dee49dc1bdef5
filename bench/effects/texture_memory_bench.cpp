// Resident memory of a picture sequence that changes its picture again and
// again (signal 30 of the show's image sequences): after 10 changes and after
// 10 000, in the offscreen context. Each change makes the layer's texture
// anew, 1024 x 512 RGBA (2 MiB) for the show's full-screen pictures; with the
// old textures freed the second figure stays at the first.
//
//   texture_memory_bench [CHANGES]   (default 10000)
#include "effects/image_sequence_effect.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Resident set size in KiB, from /proc/self/status.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    return -1;
}

kpximage* picture(int grey) {
    kpximage* image = kpx_create(640, 480, 24, 0);
    for (std::size_t i = 0; i < kpx_image_size(image); ++i) image->image[i] = static_cast<unsigned char>(grey);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--help") {
        std::printf(
            "usage: texture_memory_bench [CHANGES]\n"
            "Resident memory after 10 picture changes of an image sequence and after CHANGES (10000).\n");
        return 0;
    }
    const int changes = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (changes < 10) {
        std::fprintf(stderr, "texture_memory_bench: at least 10 changes\n");
        return 2;
    }
    kpx_verbose_off();
    std::string error;
    auto gl = vantor::platform::OffscreenGL::create(640, 480, &error);
    if (!gl) {
        std::fprintf(stderr, "texture_memory_bench: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    kpximage* first = picture(60);
    kpximage* second = picture(180);
    long after10 = 0;
    {
        ImageSequenceEffect sequence(nullptr, first);
        sequence.append(second);
        for (int i = 1; i <= changes; ++i) {
            sequence.advance();
            glFinish();
            if (i == 10) after10 = residentKiB();
            if (changes > 1000 && i % 1000 == 0) std::fprintf(stderr, "\r%d changes", i);
        }
        if (changes > 1000) std::fprintf(stderr, "\n");
    }
    const long afterAll = residentKiB();
    std::printf("resident after 10 changes:    %8ld KiB\n", after10);
    std::printf("resident after %5d changes: %8ld KiB (ratio %.3f)\n", changes, afterAll,
                static_cast<double>(afterAll) / static_cast<double>(after10));
    kpx_free(first);
    kpx_free(second);
    return 0;
}
