// Fuzzes the archive reader: every input is an archive. It is listed, every
// listed member is extracted by name and opened through the data-file layer's
// archive mode, and the whole archive is extracted in one pass — each with the
// password of the seed archives and without one.
#include "fuzz/fuzz_input.h"
#include "libs/ppd/ppd.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Members tried by name per input; a hostile header chain may list thousands.
constexpr std::size_t kMembersTried = 8;
// Archives with a member that claims more are listed only. The reader lets a
// member decode up to about 2 KB per packed byte (a 1 MB archive can take
// twenty seconds, see bench/ppd/hostile_archive_bench.cpp); that bound is
// known, and fuzzing it would only report it as a timeout.
constexpr unsigned long kLargestExtracted = 64ul << 20;

void extractEach(const std::string& archive, const std::vector<std::string>& names, const char* password) {
    for (const std::string& name : names) {
        char* data = nullptr;
        unsigned long length = 0;
        if (unrarlib_extract(archive.c_str(), name.c_str(), &data, &length, password)) std::free(data);
    }
    ppd_set_archive(archive.c_str(), password ? password : "");
    for (const std::string& name : names)
        if (ppd_file* file = ppd_open(name.c_str())) ppd_close(file);
    ppd_clear_archive();
    unrarlib_extract_all(archive.c_str(), password, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& archive = vantor::fuzz::writeInput(data, size, "rar");
    unrarlib_list_entry* first = nullptr;
    unrarlib_list(archive.c_str(), &first);
    std::vector<std::string> names;
    bool large = false;
    for (const unrarlib_list_entry* e = first; e; e = e->next) {
        if (names.size() < kMembersTried) names.push_back(e->name);
        large = large || e->unpackedSize > kLargestExtracted;
    }
    unrarlib_free_list(first);
    if (large) return 0;

    extractEach(archive, names, "password");
    extractEach(archive, names, nullptr);
    return 0;
}
