// libFuzzer entry: every input is an archive; every member name of the seed
// archives is tried. Build the whole tree with clang and
// -fsanitize=fuzzer-no-link,address,undefined so the reader is instrumented.
#include "libs/ppd/unrarlib/unrarlib.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/unrarlib-fuzz-" + std::to_string(getpid()) + ".rar";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    static const char* const names[] = {"data/a.txt", "data/img.raw", "p5_solid.bin", "FILE2.TXT", "BoatModernEnglish.wav", "file.txt",
                                        "pMM.bin"};
    for (const char* name : names) {
        char* out = nullptr;
        unsigned long length = 0;
        if (unrarlib_extract(path.c_str(), name, &out, &length, "password")) std::free(out);
    }
    unrarlib_extract_all(path.c_str(), "password", nullptr, nullptr);
    unrarlib_list_entry* first = nullptr;
    unrarlib_list(path.c_str(), &first);
    unrarlib_free_list(first);
    return 0;
}
