// Fuzzes one image reader, chosen as the image cache chooses it: by the
// extension this target is built with (KPX_FUZZ_EXTENSION). A record that
// loads is checked against its own shape and then taken down the path a scene
// texture takes (a copy brought to 32 bits).
#include "fuzz/fuzz_input.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifndef KPX_FUZZ_EXTENSION
#error "KPX_FUZZ_EXTENSION names the reader under test"
#endif

namespace {

// Conversions of larger records only cost time; their loops are the same.
constexpr std::size_t kLargestConverted = 1u << 20;

int silenceProgressLines() {
    kpx_verbose_off();
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int quiet = silenceProgressLines();
    (void)quiet;
    const std::string& path = vantor::fuzz::writeInput(data, size, KPX_FUZZ_EXTENSION);
    const ImageReader reader = imageReaderFor(path);
    if (!reader) std::abort();
    kpx_error_clear();
    kpximage* img = reader(path.c_str());
    if (!img) {
        if (kpx_error_count() != 1) std::abort();  // every failure says why, once
        return 0;
    }
    const std::size_t bytes = kpx_image_size(img);
    if (bytes > kpx_max_image_bytes) std::abort();
    if (bytes) {
        // Touch every pixel and palette byte so the sanitizer sees the whole buffer.
        volatile unsigned char sum = 0;
        for (std::size_t i = 0; i < bytes; ++i) sum = sum + img->image[i];
        for (std::size_t i = 0; i < std::size_t(img->colors) * 3; ++i) sum = sum + img->palette[i];
    }
    if (bytes <= kLargestConverted) {
        if (kpximage* copy = kpx_duplicate(img)) {
            kpx_convert_32(copy);
            kpx_free(copy);
        }
    }
    kpx_free(img);
    return 0;
}
