#include "tests/ppd/rar_test_support.h"

#include "libs/ppd/unrarlib/crc32.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <algorithm>
#include <cstdlib>

namespace vantor::test {

std::optional<std::string> extractMember(const std::string& archive, const std::string& name, const char* password) {
    char* data = reinterpret_cast<char*>(1);
    unsigned long length = 12345;
    if (!unrarlib_extract(archive.c_str(), name.c_str(), &data, &length, password)) {
        // A failure must leave nothing behind for the caller.
        if (data != nullptr || length != 0) return std::string("<failure left data or length set>");
        return std::nullopt;
    }
    std::string bytes(data, length);
    std::free(data);
    return bytes;
}

ReaderMessages::ReaderMessages() { rar_log_set_listener(&ReaderMessages::listen, this); }

ReaderMessages::~ReaderMessages() { rar_log_set_listener(nullptr, nullptr); }

void ReaderMessages::listen(const char* message, void* context) {
    static_cast<ReaderMessages*>(context)->messages_.emplace_back(message);
}

bool ReaderMessages::contains(const std::string& message) const {
    return std::find(messages_.begin(), messages_.end(), message) != messages_.end();
}

RawMember storedMember(const std::string& name, const std::string& bytes) {
    RawMember m;
    m.header.name = name;
    m.header.packSize = static_cast<std::uint32_t>(bytes.size());
    m.header.unpackedSize = static_cast<std::uint32_t>(bytes.size());
    m.header.fileCrc = rar_crc32_of(bytes.data(), bytes.size());
    m.data = bytesOf(bytes);
    return m;
}

std::vector<std::uint8_t> buildArchive(const std::vector<RawMember>& members, bool solid,
                                       std::uint16_t mainHeaderExtra) {
    std::vector<std::uint8_t> out;
    ppd_pack::writeMarker(out);
    ppd_pack::writeMainHeader(out, solid, mainHeaderExtra);
    for (const RawMember& m : members) {
        ppd_pack::writeFileHeader(out, m.header);
        out.insert(out.end(), m.data.begin(), m.data.end());
    }
    return out;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string textOf(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string noise(std::size_t size, std::uint32_t seed) {
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

}  // namespace vantor::test
