#include "libs/ppd/unrarlib/archive_headers.h"

#include "libs/ppd/unrarlib/crc32.h"
#include "libs/ppd/unrarlib/debug_log.h"

#include <cstring>

namespace {

constexpr std::uint8_t kRarMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::uint8_t kAltMarker[7] = {'T', 'e', 's', 's', 'e', 'l', '!'};
constexpr std::uint8_t kOldMarker[4] = {0x52, 0x45, 0x7E, 0x5E};

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool seekTo(std::FILE* f, long long pos) {
    return pos >= 0 && pos <= 0x7FFFFFFFLL && std::fseek(f, static_cast<long>(pos), SEEK_SET) == 0;
}

}  // namespace

bool rar_read_archive_start(std::FILE* archive, rar_main_header& main) {
    std::uint8_t marker[7];
    if (std::fread(marker, 1, 7, archive) != 7) return false;
    if (std::memcmp(marker, kOldMarker, 4) == 0) {
        RAR_LOG("Attention: format as OLD detected! Can't handel archive!");
        return false;
    }
    if (std::memcmp(marker, kRarMarker, 7) != 0 && std::memcmp(marker, kAltMarker, 7) != 0) {
        RAR_LOG(
            "unknown archive type (only plain RAR supported (normal and solid archives), SFX and Volumes "
            "are NOT supported!)");
        return false;
    }
    std::uint8_t head[13];
    if (std::fread(head, 1, 13, archive) != 13) return false;
    main.flags = u16(head + 3);
    main.headSize = u16(head + 5);
    // The rest of a longer main header (an archive comment, for instance).
    if (main.headSize > 13 && std::fseek(archive, main.headSize - 13, SEEK_CUR) != 0) return false;
    return true;
}

rar_search_result rar_next_file_header(std::FILE* archive, rar_file_header& header) {
    for (;;) {
        const long blockPos = std::ftell(archive);
        if (blockPos < 0) return rar_search_result::none;
        std::uint8_t head[32] = {};
        const std::size_t got = std::fread(head, 1, 32, archive);
        if (got < 7) return rar_search_result::none;

        const std::uint8_t type = head[2];
        const std::uint16_t flags = u16(head + 3);
        const std::uint16_t headSize = u16(head + 5);
        if (headSize < 7) return rar_search_result::none;
        std::uint32_t dataSize = 0;
        if (flags & kRarFlagLongBlock) {
            if (got < 11) return rar_search_result::none;
            dataSize = u32(head + 7);
        }
        const long long next = blockPos + static_cast<long long>(headSize) + dataSize;

        if (type == kRarSubHead) {
            seekTo(archive, blockPos);
            return rar_search_result::subBlock;
        }
        if (type != kRarFileHead) {
            if (!seekTo(archive, next)) return rar_search_result::none;
            continue;
        }

        // A file header: 32 fixed bytes, the name, then any extra fields
        // (file comment, extended times) up to the header size.
        const std::uint16_t nameSize = u16(head + 26);
        if (got < 32 || headSize < 32u + nameSize) return rar_search_result::none;
        std::uint8_t rest[65536];
        const std::size_t restSize = headSize - 32u;
        if (std::fread(rest, 1, restSize, archive) != restSize) return rar_search_result::none;

        rar_file_header h;
        h.headCrc = u16(head);
        h.type = type;
        h.flags = flags;
        h.headSize = headSize;
        h.packSize = u32(head + 7);
        h.unpackedSize = u32(head + 11);
        h.hostOs = head[15];
        h.fileCrc = u32(head + 16);
        h.fileTime = u32(head + 20);
        h.unpackVersion = head[24];
        h.method = head[25];
        h.nameSize = nameSize;
        h.attributes = u32(head + 28);
        const unsigned kept = nameSize < kRarMaxName ? nameSize : kRarMaxName;
        std::memcpy(h.name, rest, kept);
        h.name[kept] = '\0';
        h.blockPos = blockPos;
        h.dataPos = blockPos + headSize;
        h.nextBlock = next;

        // RAR 2.x covers the fixed fields and the name (a file comment carries
        // its own CRC); later archivers cover the whole header.
        const std::uint32_t fixedCrc = rar_crc32(0xFFFFFFFFu, head + 2, 30);
        const std::uint32_t nameCrc = rar_crc32(fixedCrc, rest, nameSize);
        const std::uint32_t wholeCrc = rar_crc32(nameCrc, rest + nameSize, restSize - nameSize);
        if (static_cast<std::uint16_t>(~nameCrc) != h.headCrc && static_cast<std::uint16_t>(~wholeCrc) != h.headCrc)
            RAR_LOG("file header broken");

        if (!seekTo(archive, h.dataPos)) return rar_search_result::none;
        header = h;
        return rar_search_result::file;
    }
}

bool rar_names_equal(const char* a, const char* b) {
    auto fold = [](unsigned char c) -> unsigned char {
        if (c == '\\' || c == '/') return '_';
        if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
        return c;
    };
    // Names are compared over at most 512 characters, like the copies the
    // comparison works on.
    for (int i = 0; i < 512; ++i) {
        const unsigned char ca = fold(static_cast<unsigned char>(a[i]));
        const unsigned char cb = fold(static_cast<unsigned char>(b[i]));
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
    return true;
}
