// The public entries: find a member, unpack it (stored or RAR 2.0 packed,
// encrypted or not, normal or solid) and check its CRC; list an archive.
#include "libs/ppd/unrarlib/unrarlib.h"

#include "libs/ppd/unrarlib/archive_headers.h"
#include "libs/ppd/unrarlib/crc32.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/large_buffers.h"
#include "libs/ppd/unrarlib/packed_reader.h"
#include "libs/ppd/unrarlib/secure_wipe.h"
#include "libs/ppd/unrarlib/unpack20.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Everything one call works on; released when the call returns.
// An archive file of at least this many bytes unpacks to at least as many
// (stored bytes stay as they are, packed ones only grow): enough to fill a
// good part of the window in a solid stream or a run of members, and for one
// output buffer serving every member to be worth its huge pages. A smaller
// archive touches a few small pages instead of clearing 2 MB ones.
constexpr long long kLargeArchive = kRarWindowSize / 8;

struct Extraction {
    std::FILE* archive = nullptr;
    std::uint8_t* window = nullptr;
    std::uint8_t* output = nullptr;
    std::uint32_t outputCapacity = 0;  // bytes allocated at output
    std::uint32_t outputLength = 0;
    // Set when the extraction decodes every member.
    bool allMembers = false;
    // Set for an archive file of kLargeArchive bytes or more (see there).
    bool largeArchive = false;
    char password[255] = {};
    std::unique_ptr<rar_unpack_state> unpack;
    rar_packed_reader reader;

    ~Extraction() {
        rar_wipe(password, sizeof password);
        if (archive) std::fclose(archive);
        rar_release_window(window);
        std::free(output);
    }
};

// Opens the archive and reads its start; a decoding extraction (not a
// listing, which reads headers only) also gets the window and decoder state.
bool openArchive(Extraction& x, const char* path, rar_main_header& main, bool decodes = true) {
    x.archive = path ? std::fopen(path, "rb") : nullptr;
    if (!x.archive) {
        RAR_LOG("Error opening file.");
        return false;
    }
    if (!rar_read_archive_start(x.archive, main)) {
        RAR_LOG("Not a RAR file");
        return false;
    }
    if (!decodes) return true;
    x.window = rar_allocate_window();
    x.unpack.reset(new (std::nothrow) rar_unpack_state);
    if (!x.window || !x.unpack) {
        RAR_LOG("Can't allocate memory for decompression!");
        return false;
    }
    x.unpack->window = x.window;
    return true;
}

// The packed bytes a member owns: its data area, which only a header with
// the data-area flag has (the next block follows the header directly
// otherwise). Without the flag the pack size would reach into the blocks
// that follow, so a damaged solid archive could decode the rest of the file
// once for every such header.
std::uint32_t dataAreaSize(const rar_file_header& h) { return (h.flags & kRarFlagLongBlock) ? h.packSize : 0; }

// A damaged header must not make the reader allocate gigabytes: a stored
// member holds its bytes, and a RAR 2.0 stream makes at most 260 bytes (one
// repeated copy) per bit, of the packed bytes the file really holds.
bool plausibleSizes(const rar_file_header& h, long long fileSize) {
    const long long present = fileSize > h.dataPos ? fileSize - h.dataPos : 0;
    const std::uint64_t packed = std::min<std::uint64_t>(dataAreaSize(h), static_cast<std::uint64_t>(present));
    const std::uint64_t limit = h.method == 0x30 ? packed : packed * 8 * 260 + 260;
    return h.unpackedSize <= limit;
}

long long fileSizeOf(std::FILE* f) {
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return size < 0 ? 0 : size;
}

bool copyStored(Extraction& x, const rar_file_header& h, bool found) {
    if (!found) return true;
    std::uint32_t want = std::min(h.unpackedSize, dataAreaSize(h));
    std::uint32_t done = 0;
    while (done < want) {
        const long got = rar_read_packed(x.reader, x.output + done, want - done);
        if (got < 0) {
            RAR_LOG("Read error of stored file!");
            return false;
        }
        if (got == 0) break;
        done += static_cast<std::uint32_t>(got);
    }
    x.outputLength = done;
    return true;
}

enum class MemberResult { skipped, extracted, failed };

// One member: decoded when it is wanted (into x.output, which the caller
// releases) or when the archive is solid (to rebuild the window), checked
// when wanted, skipped otherwise. Leaves the file anywhere in the member.
MemberResult processMember(Extraction& x, const rar_file_header& h, bool wanted, bool solidArchive,
                           long long fileSize) {
    if (wanted && !plausibleSizes(h, fileSize)) {
        RAR_LOG("Unpacked size impossible for the packed size - archive damaged!");
        return MemberResult::failed;
    }
    if (wanted) {
        // A buffer left by an earlier member is used again when it is large
        // enough: its pages are already mapped and likely still in cache.
        if (!x.output || x.outputCapacity < h.unpackedSize) {
            std::free(x.output);
            x.output = rar_allocate_output(h.unpackedSize, x.allMembers && x.largeArchive, &x.outputCapacity);
            if (!x.output) x.outputCapacity = 0;
        }
        x.outputLength = 0;
        if (!x.output) {
            RAR_LOG("can't allocate memory for the file decompression");
            return MemberResult::failed;
        }
    }
    if (!wanted && !solidArchive) return MemberResult::skipped;

    if (h.unpackVersion < 13 || h.unpackVersion > 20) {
        RAR_LOG("unknown compression method");
        return MemberResult::failed;
    }
    const bool encrypted = x.password[0] != '\0' && (h.flags & kRarFlagEncrypted);
    rar_begin_member(x.reader, x.archive, dataAreaSize(h), encrypted ? h.unpackVersion : 0, x.password);
    if (h.method == 0x30) {
        if (!copyStored(x, h, wanted)) return MemberResult::failed;
    } else {
        // A member that fills much of the window (or a run of members or a
        // solid stream of a large archive, which keep filling it) decodes
        // into huge pages.
        if (h.unpackedSize >= kRarWindowSize / 2 || ((solidArchive || x.allMembers) && x.largeArchive))
            rar_window_expect_large(x.window);
        rar_unpack_job job;
        job.unpackedSize = h.unpackedSize;
        job.solid = (h.flags & kRarFlagSolidMember) != 0;
        job.output = wanted ? x.output : nullptr;
        job.outputLength = &x.outputLength;
        // A damaged stream ends early; the length and CRC checks below report it.
        rar_unpack(*x.unpack, x.reader, job);
    }
    if (!wanted) return MemberResult::skipped;
    // Bytes the member never delivered must not pass for data.
    if (x.outputLength != h.unpackedSize || rar_crc32_of(x.output, h.unpackedSize) != h.fileCrc) {
        RAR_LOG("CRC32 error - file couldn't be decompressed correctly!");
        return MemberResult::failed;
    }
    return MemberResult::extracted;
}

bool seekNextBlock(Extraction& x, const rar_file_header& h) {
    return h.nextBlock <= 0x7FFFFFFFLL && std::fseek(x.archive, static_cast<long>(h.nextBlock), SEEK_SET) == 0;
}

void fillEntry(const rar_file_header& h, char* name, unrarlib_list_entry& entry) {
    entry.name = name;
    entry.nameSize = h.nameSize;
    entry.packSize = h.packSize;
    entry.unpackedSize = h.unpackedSize;
    entry.hostOs = h.hostOs;
    entry.fileCrc = h.fileCrc;
    entry.fileTime = h.fileTime;
    entry.unpackVersion = h.unpackVersion;
    entry.method = h.method;
    entry.attributes = h.attributes;
    entry.flags = h.flags;
    entry.next = nullptr;
}

// What a walk over the members does after one of them.
enum class Walk { next, stop, fail };

// Reads the member headers one after another and hands each to visit, which
// says whether to go on to the next block, stop there, or give up. The walk
// also ends where no further header can be read (endMessage, when given, goes
// to the log), at a sub-block (not supported) and where the next block cannot
// be reached. True only when visit stopped it.
template <class Visit>
bool walkMembers(Extraction& x, Visit&& visit, const char* endMessage = nullptr) {
    for (;;) {
        rar_file_header h;
        const rar_search_result search = rar_next_file_header(x.archive, h);
        if (search == rar_search_result::none) {
            if (endMessage) RAR_LOG("%s", endMessage);
            return false;
        }
        if (search == rar_search_result::subBlock) {
            RAR_LOG("Sorry, sub-headers not supported.");
            return false;
        }
        const Walk step = visit(h);
        if (step == Walk::stop) return true;
        if (step == Walk::fail || !seekNextBlock(x, h)) return false;
    }
}

// Walks to the member called name and extracts it.
bool run(Extraction& x, const char* name, const char* archivePath) {
    rar_main_header main;
    if (!openArchive(x, archivePath, main)) return false;
    const bool solidArchive = (main.flags & kRarFlagSolidArchive) != 0;
    const long long fileSize = fileSizeOf(x.archive);
    x.largeArchive = fileSize >= kLargeArchive;

    return walkMembers(x, [&](rar_file_header& h) {
        const bool wanted = rar_names_equal(h.name, name);
        if (processMember(x, h, wanted, solidArchive, fileSize) == MemberResult::failed) return Walk::fail;
        // The wanted member is complete and checked: where the next block
        // would start (a pack size running past any seekable position) no
        // longer matters.
        return wanted ? Walk::stop : Walk::next;
    });
}

}  // namespace

int unrarlib_extract(const char* archive, const char* name, char** data, unsigned long* length, const char* password) {
    rar_log_start();
    if (data) *data = nullptr;
    if (length) *length = 0;

    Extraction x;
    if (password) {
        std::strncpy(x.password, password, sizeof x.password - 1);
    }
    const char* wanted = name ? name : "";
    RAR_LOG("Extracting >%s< from >%s< (password is >%s<)...", wanted, archive ? archive : "", x.password);

    const bool ok = run(x, wanted, archive);
    if (!ok || !data || !length) {
        RAR_LOG("Error - couldn't extract >%s< and allocated %u Bytes of unused memory!", wanted, 0u);
        return 0;
    }
    *length = x.outputLength;
    *data = reinterpret_cast<char*>(x.output);
    x.output = nullptr;
    x.outputCapacity = 0;
    RAR_LOG("Extracted %u Bytes.", static_cast<unsigned>(*length));
    return 1;
}

int unrarlib_list(const char* archive, unrarlib_list_entry** first) {
    rar_log_start();
    if (first) *first = nullptr;
    Extraction x;
    rar_main_header main;
    if (!openArchive(x, archive, main, false)) return 0;

    int count = 0;
    unrarlib_list_entry** tail = first;
    walkMembers(
        x,
        [&](rar_file_header& h) {
            auto* entry = static_cast<unrarlib_list_entry*>(std::calloc(1, sizeof(unrarlib_list_entry)));
            char* nameCopy = static_cast<char*>(std::malloc(std::strlen(h.name) + 1));
            if (!entry || !nameCopy) {
                std::free(entry);
                std::free(nameCopy);
                return Walk::fail;
            }
            std::strcpy(nameCopy, h.name);
            fillEntry(h, nameCopy, *entry);
            ++count;
            if (tail) {
                *tail = entry;
                tail = &entry->next;
            } else {
                unrarlib_free_list(entry);
            }
            return Walk::next;
        },
        "Couldn't read next filename from archive (I/O error).");
    return count;
}

int unrarlib_extract_all(const char* archive, const char* password, unrarlib_member_callback deliver, void* context) {
    rar_log_start();
    Extraction x;
    if (password) std::strncpy(x.password, password, sizeof x.password - 1);
    RAR_LOG("Extracting every member from >%s< (password is >%s<)...", archive ? archive : "", x.password);
    rar_main_header main;
    if (!openArchive(x, archive, main)) return 0;
    const bool solidArchive = (main.flags & kRarFlagSolidArchive) != 0;
    const long long fileSize = fileSizeOf(x.archive);
    x.largeArchive = fileSize >= kLargeArchive;
    x.allMembers = true;

    int extracted = 0;
    walkMembers(x, [&](rar_file_header& h) {
        const MemberResult result = processMember(x, h, true, solidArchive, fileSize);
        unrarlib_list_entry entry;
        fillEntry(h, h.name, entry);
        if (result == MemberResult::extracted) {
            ++extracted;
            if (deliver) deliver(&entry, reinterpret_cast<const char*>(x.output), x.outputLength, context);
        } else if (deliver) {
            deliver(&entry, nullptr, 0, context);
        }
        // The output buffer stays for the next member.
        x.outputLength = 0;
        return Walk::next;
    });
    return extracted;
}

void unrarlib_free_list(unrarlib_list_entry* first) {
    while (first) {
        unrarlib_list_entry* next = first->next;
        std::free(first->name);
        std::free(first);
        first = next;
    }
}
