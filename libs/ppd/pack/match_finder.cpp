#include "libs/ppd/pack/match_finder.h"

#include <algorithm>
#include <cstring>

namespace ppd_pack {

namespace {
constexpr std::uint32_t kWindowMask = 0xFFFFF;

// Common prefix length of a and b, up to limit bytes, eight at a time.
std::uint32_t commonLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
    std::uint32_t len = 0;
    while (len + 8 <= limit) {
        std::uint64_t x, y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) return len + static_cast<std::uint32_t>(__builtin_ctzll(x ^ y) >> 3);
        len += 8;
    }
    while (len < limit && a[len] == b[len]) ++len;
    return len;
}
}  // namespace

MatchFinder::MatchFinder(const std::uint8_t* data, std::uint32_t size, unsigned maxChain)
    : data_(data),
      size_(size),
      maxChain_(maxChain),
      head_(1u << kHashBits, 0),
      chain_(std::min<std::uint32_t>(size, kWindowMask + 1), 0),
      pair_(65536, 0) {}

void MatchFinder::insert(std::uint32_t pos) {
    if (pos + 1 < size_) pair_[data_[pos] | data_[pos + 1] << 8] = pos + 1;
    if (pos + 2 >= size_) return;
    const std::uint32_t h = hash3(pos);
    chain_[pos & kWindowMask] = head_[h];
    head_[h] = pos + 1;
}

std::uint32_t MatchFinder::matchLength(std::uint32_t pos, std::uint32_t distance, std::uint32_t end) const {
    if (distance == 0 || distance > pos) return 0;
    const std::uint32_t limit = std::min(end - pos, kMaxLength);
    return commonLength(data_ + pos, data_ + pos - distance, limit);
}

Match MatchFinder::longest(std::uint32_t pos, std::uint32_t end, unsigned chainLimit) const {
    Match best;
    if (end - pos < 3 || pos + 2 >= size_) return best;
    const std::uint32_t limit = std::min(end - pos, kMaxLength);
    const std::uint8_t* cur = data_ + pos;
    std::uint32_t candidate = head_[hash3(pos)];
    const unsigned maxDepth = chainLimit ? chainLimit : maxChain_;
    const std::uint32_t nice = std::min(limit, kNiceLength);
    for (unsigned depth = 0; candidate != 0 && depth < maxDepth; ++depth) {
        const std::uint32_t cpos = candidate - 1;
        if (cpos >= pos) break;
        const std::uint32_t distance = pos - cpos;
        if (distance > kMaxDistance) break;
        const std::uint8_t* prev = data_ + cpos;
        if (prev[best.length] == cur[best.length] && prev[0] == cur[0] && prev[1] == cur[1]) {
            const std::uint32_t len = commonLength(prev, cur, limit);
            if (len > best.length) {
                best.length = len;
                best.distance = distance;
                if (len >= nice) break;
            }
        }
        const std::uint32_t next = chain_[cpos & kWindowMask];
        if (next >= candidate) break;  // overwritten by a newer position
        candidate = next;
    }
    return best;
}

std::uint32_t MatchFinder::pairDistance(std::uint32_t pos, std::uint32_t end) const {
    if (end - pos < 2) return 0;
    const std::uint32_t p = pair_[data_[pos] | data_[pos + 1] << 8];
    if (p == 0 || p - 1 >= pos) return 0;
    return pos - (p - 1);
}

}  // namespace ppd_pack
