// Fuzzes the archive reader's headers and member walk: every input is an
// archive. It is listed, extracted whole in one pass with the password of the
// seed archives, and its last listed member is opened by name through the
// data-file layer's archive mode (a walk past every member before it, which
// a solid archive decodes to rebuild its window). A member read both ways
// must read the same when everything before it extracted cleanly. Archives
// with a member marked encrypted are extracted again without a password (for
// the others the password changes nothing). The decompressor and the cipher
// have targets of their own that feed them raw streams.
#include "fuzz/fuzz_input.h"
#include "libs/ppd/ppd.h"
#include "libs/ppd/unrarlib/archive_headers.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Archives whose members claim more in all are listed only. The reader lets
// a member decode up to about 2 KB per packed byte (a 1 MB archive can take
// twenty seconds, see bench/ppd/hostile_archive_bench.cpp), so a few header
// bytes can ask for megabytes of decoding whose paths the decompressor's own
// target reaches at a fraction of the cost. The seed archives written by
// fuzz/make_seeds.cpp hold less; the test archives' larger members are the
// decompressor target's seeds.
constexpr unsigned long kLargestExtracted = 32ul << 10;

// The password of the seed archives written by fuzz/make_seeds.cpp: short,
// since the key set-up's time grows with the password's length (the cipher's
// target takes passwords of every length).
constexpr const char* kPassword = "pw";

// What the one-pass extraction gave for the member opened by name: its
// first occurrence, and whether every member before it was extracted.
struct Delivered {
    std::string name;
    bool cleanBefore = true;
    bool seen = false;
    std::optional<std::string> bytes;  // none: it failed
};

void deliver(const unrarlib_list_entry* member, const char* data, unsigned long length, void* context) {
    auto& d = *static_cast<Delivered*>(context);
    if (d.seen) return;
    if (rar_names_equal(member->name, d.name.c_str())) {
        d.seen = true;
        if (data) d.bytes = std::string(data, length);
    } else if (!data) {
        d.cleanBefore = false;
    }
}

// The member as the data-file layer reads it; none when it does not open.
std::optional<std::string> openByName(const std::string& archive, const std::string& name) {
    ppd_set_archive(archive.c_str(), kPassword);
    std::optional<std::string> bytes;
    if (ppd_file* file = ppd_open(name.c_str())) {
        bytes.emplace();
        char buffer[4096];
        for (std::size_t got; (got = ppd_read(buffer, 1, sizeof buffer, file)) > 0;) bytes->append(buffer, got);
        ppd_close(file);
    }
    ppd_clear_archive();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& archive = vantor::fuzz::writeInput(data, size, "rar");
    unrarlib_list_entry* first = nullptr;
    unrarlib_list(archive.c_str(), &first);
    Delivered wanted;
    wanted.name = "data/not-there";  // an empty listing: a walk to the end
    unsigned long claimed = 0;
    bool encrypted = false;
    for (const unrarlib_list_entry* e = first; e; e = e->next) {
        wanted.name = e->name;
        claimed += std::min<unsigned long>(e->unpackedSize, kLargestExtracted + 1);
        encrypted = encrypted || (e->flags & kRarFlagEncrypted);
    }
    unrarlib_free_list(first);
    if (claimed > kLargestExtracted) return 0;

    unrarlib_extract_all(archive.c_str(), kPassword, deliver, &wanted);
    const std::optional<std::string> opened = openByName(archive, wanted.name);
    if (wanted.cleanBefore && wanted.bytes && opened && *opened != *wanted.bytes) std::abort();
    if (encrypted) unrarlib_extract_all(archive.c_str(), nullptr, nullptr, nullptr);
    return 0;
}
