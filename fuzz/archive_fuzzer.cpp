// Fuzzes the archive reader's headers and member walk: every input is an
// archive. It is listed, the first listed members are extracted by name, the
// first is opened through the data-file layer's archive mode, and the whole
// archive is extracted in one pass: with the password of the seed archives,
// and again without one when a member is marked encrypted (for the others
// the password changes nothing). The decompressor and the cipher have
// targets of their own that feed them raw streams.
#include "fuzz/fuzz_input.h"
#include "libs/ppd/ppd.h"
#include "libs/ppd/unrarlib/archive_headers.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Members tried by name per input; a hostile header chain may list thousands.
constexpr std::size_t kMembersTried = 3;
// Archives whose members claim more in all are listed only. The reader lets
// a member decode up to about 2 KB per packed byte (a 1 MB archive can take
// twenty seconds, see bench/ppd/hostile_archive_bench.cpp), so a few header
// bytes can ask for megabytes of decoding whose paths the decompressor's own
// target reaches at a fraction of the cost. The seed archives hold far less.
constexpr unsigned long kLargestExtracted = 256ul << 10;

void extractEach(const std::string& archive, const std::vector<std::string>& names, const char* password) {
    for (const std::string& name : names) {
        char* data = nullptr;
        unsigned long length = 0;
        if (unrarlib_extract(archive.c_str(), name.c_str(), &data, &length, password)) std::free(data);
    }
    // The data-file layer reads members with the same call as above.
    ppd_set_archive(archive.c_str(), password ? password : "");
    if (!names.empty())
        if (ppd_file* file = ppd_open(names.front().c_str())) ppd_close(file);
    ppd_clear_archive();
    unrarlib_extract_all(archive.c_str(), password, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& archive = vantor::fuzz::writeInput(data, size, "rar");
    unrarlib_list_entry* first = nullptr;
    unrarlib_list(archive.c_str(), &first);
    std::vector<std::string> names;
    unsigned long claimed = 0;
    bool encrypted = false;
    for (const unrarlib_list_entry* e = first; e; e = e->next) {
        if (names.size() < kMembersTried) names.push_back(e->name);
        claimed += std::min<unsigned long>(e->unpackedSize, kLargestExtracted + 1);
        encrypted = encrypted || (e->flags & kRarFlagEncrypted);
    }
    unrarlib_free_list(first);
    if (claimed > kLargestExtracted) return 0;

    extractEach(archive, names, "password");
    if (encrypted) extractEach(archive, names, nullptr);
    return 0;
}
