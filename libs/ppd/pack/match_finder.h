// Hash-chain match finder over one contiguous buffer (a member, or all
// members of a solid stream back to back), reaching back at most one window.
#pragma once

#include <cstdint>
#include <vector>

namespace ppd_pack {

struct Match {
    std::uint32_t length = 0;
    std::uint32_t distance = 0;
};

class MatchFinder {
public:
    static constexpr std::uint32_t kMaxDistance = 0xFFFFF;  // the 1 MB window, less one
    static constexpr std::uint32_t kMaxLength = 257;
    static constexpr std::uint32_t kNiceLength = 160;

    MatchFinder(const std::uint8_t* data, std::uint32_t size, unsigned maxChain);

    // Registers position pos (call for every position in order).
    void insert(std::uint32_t pos);
    // Longest match at pos with another position at most kMaxDistance back,
    // for lengths >= 3, limited to end - pos. The search walks at most
    // chainLimit candidates (0: the finder's own limit) and stops early at a
    // match of kNiceLength bytes.
    Match longest(std::uint32_t pos, std::uint32_t end, unsigned chainLimit = 0) const;
    // Nearest earlier position with the same two bytes (0 distance if none).
    std::uint32_t pairDistance(std::uint32_t pos, std::uint32_t end) const;
    // Length of the match at pos with the given distance.
    std::uint32_t matchLength(std::uint32_t pos, std::uint32_t distance, std::uint32_t end) const;

private:
    static constexpr unsigned kHashBits = 17;
    std::uint32_t hash3(std::uint32_t pos) const {
        const std::uint32_t v = data_[pos] | data_[pos + 1] << 8 | data_[pos + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const std::uint8_t* data_;
    std::uint32_t size_;
    unsigned maxChain_;
    std::vector<std::uint32_t> head_;   // hash -> latest position + 1 (0: none)
    std::vector<std::uint32_t> chain_;  // position in window -> previous position + 1
    std::vector<std::uint32_t> pair_;   // two bytes -> latest position + 1
};

}  // namespace ppd_pack
