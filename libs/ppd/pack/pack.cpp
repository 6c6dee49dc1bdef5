#include "libs/ppd/pack/pack.h"

#include "libs/ppd/pack/archive_writer.h"
#include "libs/ppd/pack/rar20_encoder.h"
#include "libs/ppd/unrarlib/cipher.h"
#include "libs/ppd/unrarlib/crc32.h"

#include <stdexcept>

namespace ppd_pack {

namespace {

constexpr std::size_t kMaxName = 259;

// Encrypts packed data in whole 16-byte blocks with a fresh key per member;
// the zero padding of the last block counts into the packed size.
void encrypt(std::vector<std::uint8_t>& data, const rar_cipher& initial) {
    data.resize((data.size() + 15) / 16 * 16, 0);
    rar_cipher cipher = initial;
    for (std::size_t i = 0; i < data.size(); i += 16) rar_encrypt_block(cipher, data.data() + i);
}

}  // namespace

std::string storedName(const std::string& name) {
    std::string stored = name;
    for (char& c : stored)
        if (c == '/') c = '\\';
    return stored;
}

std::vector<std::uint8_t> packArchive(const std::vector<Member>& members, const PackOptions& options) {
    std::uint64_t total = 0;
    for (const Member& m : members) {
        if (m.name.empty() || m.name.size() > kMaxName)
            throw std::invalid_argument("member name must have 1 to 259 bytes: \"" + m.name + "\"");
        if (m.data.size() >= 0xFFFFFFF0ull) throw std::invalid_argument("member too large: " + m.name);
        total += m.data.size();
    }
    if (total >= 0xFFFFFFF0ull) throw std::invalid_argument("archive content must stay below 4 GB");
    const bool solid = options.solid && !options.store;

    // Packed data of every member; empty: store the member.
    std::vector<std::vector<std::uint8_t>> packed(members.size());
    std::vector<bool> compressed(members.size(), false);
    if (!options.store) {
        EncoderOptions encoder;
        encoder.allowAudio = options.allowAudio;
        if (!options.password.empty()) encoder.align = 16;
        std::uint64_t done = 0;
        if (solid) {
            std::vector<std::uint8_t> stream;
            stream.reserve(total);
            std::vector<std::uint32_t> sizes;
            for (const Member& m : members) {
                stream.insert(stream.end(), m.data.begin(), m.data.end());
                sizes.push_back(static_cast<std::uint32_t>(m.data.size()));
            }
            packed = compressMembers(stream, sizes, true, encoder);
            compressed.assign(members.size(), true);
            if (options.progress) options.progress(total, total);
        } else {
            for (std::size_t i = 0; i < members.size(); ++i) {
                const Member& m = members[i];
                if (!m.data.empty()) {
                    auto result = compressMembers(m.data, {static_cast<std::uint32_t>(m.data.size())}, false, encoder);
                    // Data that does not shrink is stored instead.
                    if (result.front().size() < m.data.size()) {
                        packed[i] = std::move(result.front());
                        compressed[i] = true;
                    }
                }
                done += m.data.size();
                if (options.progress) options.progress(done, total);
            }
        }
    }

    // Every member starts from the same keys; setting them up is slow.
    rar_cipher initialCipher{};
    if (!options.password.empty()) rar_set_keys(initialCipher, options.password.c_str());

    std::vector<std::uint8_t> archive;
    writeMarker(archive);
    writeMainHeader(archive, solid);
    for (std::size_t i = 0; i < members.size(); ++i) {
        const Member& m = members[i];
        std::vector<std::uint8_t> data = compressed[i] ? std::move(packed[i]) : m.data;
        FileHeaderFields h;
        h.name = storedName(m.name);
        h.unpackedSize = static_cast<std::uint32_t>(m.data.size());
        h.fileCrc = rar_crc32_of(m.data.data(), m.data.size());
        h.fileTime = m.dosTime;
        h.method = compressed[i] ? kMethodNormal : kMethodStored;
        if (solid && i > 0) h.flags |= kFlagSolid;
        if (!options.password.empty()) {
            encrypt(data, initialCipher);
            h.flags |= kFlagEncrypted;
        }
        if (data.size() >= 0xFFFFFFFFull) throw std::invalid_argument("member too large: " + m.name);
        h.packSize = static_cast<std::uint32_t>(data.size());
        writeFileHeader(archive, h);
        archive.insert(archive.end(), data.begin(), data.end());
    }
    return archive;
}

}  // namespace ppd_pack
