// The packer behind `ppd pack`: builds a RAR 2.x archive (unpack version 20)
// from members held in memory — stored, or compressed with the RAR 2.0
// scheme, optionally solid and optionally encrypted with the RAR 2.0 cipher.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ppd_pack {

struct Member {
    std::string name;  // with '/' or '\' separators; stored with '\'
    std::vector<std::uint8_t> data;
    std::uint32_t dosTime = 0x00210000;
};

struct PackOptions {
    bool solid = false;      // one compression stream through all members
    bool store = false;      // no compression at all
    std::string password;    // empty: no encryption
    bool allowAudio = true;  // let the compressor pick the multimedia mode
    // Called now and then with bytes compressed so far and the total.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// The whole archive. Throws std::invalid_argument for members the format or
// the reader cannot hold (names over 259 bytes, members of 4 GB or more).
std::vector<std::uint8_t> packArchive(const std::vector<Member>& members, const PackOptions& options);

// Member name as stored in the archive: separators turned into '\'.
std::string storedName(const std::string& name);

}  // namespace ppd_pack
