// Helpers for the archive reader and packer tests: extraction into a string,
// capture of the reader's messages, and hand-built archives.
#pragma once

#include "libs/ppd/pack/archive_writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor::test {

// Extracts a member; nullopt when the reader fails.
std::optional<std::string> extractMember(const std::string& archive, const std::string& name,
                                         const char* password = nullptr);

// Records every message the reader logs while the object lives.
class ReaderMessages {
public:
    ReaderMessages();
    ~ReaderMessages();
    ReaderMessages(const ReaderMessages&) = delete;
    ReaderMessages& operator=(const ReaderMessages&) = delete;

    bool contains(const std::string& message) const;
    const std::vector<std::string>& all() const { return messages_; }

private:
    static void listen(const char* message, void* context);
    std::vector<std::string> messages_;
};

// A member as it goes into a hand-built archive: header fields and the bytes
// of its data area, written as given.
struct RawMember {
    ppd_pack::FileHeaderFields header;
    std::vector<std::uint8_t> data;
};

// A stored member whose header matches its bytes.
RawMember storedMember(const std::string& name, const std::string& bytes);

std::vector<std::uint8_t> buildArchive(const std::vector<RawMember>& members, bool solid = false,
                                       std::uint16_t mainHeaderExtra = 0);

std::vector<std::uint8_t> bytesOf(const std::string& text);
std::string textOf(const std::vector<std::uint8_t>& bytes);

// Deterministic pseudo-random bytes.
std::string noise(std::size_t size, std::uint32_t seed);

}  // namespace vantor::test
