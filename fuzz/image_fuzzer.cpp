// Fuzzes one image reader, chosen as the image cache chooses it: by the
// extension this target is built with (KPX_FUZZ_EXTENSION). A record that
// loads is checked against its own shape and then taken down the path a scene
// texture takes (a copy brought to 32 bits). Pictures declared larger than
// kLargestDecoded (and small enough to be loaded) are passed over: they take
// the paths of small ones at the cost of their size, and the image reader
// tests load them.
#include "fuzz/fuzz_input.h"
#include "fuzz/image_extent.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"

#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifndef KPX_FUZZ_EXTENSION
#error "KPX_FUZZ_EXTENSION names the reader under test"
#endif

namespace {

// Bytes of the largest picture decoded, as declaredImageBytes counts them.
constexpr std::size_t kLargestDecoded = 1u << 16;
// declaredImageBytes counts up to four bytes a pixel, so a declaration above
// this surely exceeds the readers' bound, which they refuse before allocating.
constexpr std::size_t kSurelyRefused = 4 * kpx_max_image_bytes;

int silenceProgressLines() {
    kpx_verbose_off();
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int quiet = silenceProgressLines();
    (void)quiet;
    const std::size_t declared = vantor::fuzz::declaredImageBytes(data, size, KPX_FUZZ_EXTENSION);
    if (declared > kLargestDecoded && declared <= kSurelyRefused) return -1;  // not kept in the corpus
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
    // The whole buffer and palette must be addressable: asked of the
    // sanitizer's shadow directly, which is much faster than reading every
    // byte through instrumented code.
    if (bytes && __asan_region_is_poisoned(img->image, bytes)) std::abort();
    if (img->colors && __asan_region_is_poisoned(img->palette, std::size_t(img->colors) * 3)) std::abort();
    if (bytes <= kLargestDecoded) {  // a declaration read otherwise than the reader reads it
        if (kpximage* copy = kpx_duplicate(img)) {
            kpx_convert_32(copy);
            kpx_free(copy);
        }
    }
    kpx_free(img);
    return 0;
}
