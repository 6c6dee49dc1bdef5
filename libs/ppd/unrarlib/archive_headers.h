// The block structure of a RAR 2.x archive: marker, main header, and the walk
// from block to block to the next file header.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr std::uint8_t kRarFileHead = 0x74;
constexpr std::uint8_t kRarSubHead = 0x77;
constexpr std::uint16_t kRarFlagLongBlock = 0x8000;  // a data area follows the header
constexpr std::uint16_t kRarFlagEncrypted = 0x0004;
constexpr std::uint16_t kRarFlagSolidMember = 0x0010;
constexpr std::uint16_t kRarFlagSolidArchive = 0x0008;  // in the main header
constexpr unsigned kRarMaxName = 259;

struct rar_main_header {
    std::uint16_t flags = 0;
    std::uint16_t headSize = 0;
};

struct rar_file_header {
    std::uint16_t headCrc = 0;
    std::uint8_t type = 0;
    std::uint16_t flags = 0;
    std::uint16_t headSize = 0;
    std::uint32_t packSize = 0;
    std::uint32_t unpackedSize = 0;
    std::uint8_t hostOs = 0;
    std::uint32_t fileCrc = 0;
    std::uint32_t fileTime = 0;
    std::uint8_t unpackVersion = 0;
    std::uint8_t method = 0;
    std::uint16_t nameSize = 0;
    std::uint32_t attributes = 0;
    char name[kRarMaxName + 1] = {};
    long long blockPos = 0;   // where the block starts
    long long dataPos = 0;    // where its packed data starts
    long long nextBlock = 0;  // where the following block starts
};

// Reads and checks the marker and the main header, then skips the main
// header's extra bytes. Logs the reason and returns false if the file is not
// an archive this reader handles.
bool rar_read_archive_start(std::FILE* archive, rar_main_header& main);

enum class rar_search_result { file, subBlock, none };

// Walks from the current position to the next file header (or sub-block) and
// leaves the file positioned at its packed data. On `none` (end of archive,
// read error, impossible sizes) the header is left as it was.
rar_search_result rar_next_file_header(std::FILE* archive, rar_file_header& header);

// Compares member names ignoring ASCII case and treating '/' and '\' alike.
bool rar_names_equal(const char* a, const char* b);
