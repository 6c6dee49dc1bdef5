#include "libs/ppd/pack/huffman_encode.h"

#include <algorithm>
#include <queue>

namespace ppd_pack {

namespace {

// Plain Huffman code lengths for the non-zero frequencies.
std::vector<std::uint8_t> huffmanLengths(const std::vector<std::uint64_t>& freq) {
    const std::size_t n = freq.size();
    std::vector<std::uint8_t> lengths(n, 0);
    struct Node {
        std::uint64_t weight;
        int parent;
    };
    std::vector<Node> nodes;
    using Item = std::pair<std::uint64_t, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    std::vector<int> leafNode(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        if (freq[i] == 0) continue;
        leafNode[i] = static_cast<int>(nodes.size());
        nodes.push_back({freq[i], -1});
        queue.push({freq[i], leafNode[i]});
    }
    while (queue.size() > 1) {
        const Item a = queue.top();
        queue.pop();
        const Item b = queue.top();
        queue.pop();
        const int parent = static_cast<int>(nodes.size());
        nodes.push_back({a.first + b.first, -1});
        nodes[a.second].parent = parent;
        nodes[b.second].parent = parent;
        queue.push({a.first + b.first, parent});
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (leafNode[i] < 0) continue;
        unsigned depth = 0;
        for (int node = leafNode[i]; nodes[node].parent >= 0; node = nodes[node].parent) ++depth;
        lengths[i] = static_cast<std::uint8_t>(std::min(depth, 255u));
    }
    return lengths;
}

}  // namespace

std::vector<std::uint8_t> buildCodeLengths(const std::vector<std::uint32_t>& frequencies, unsigned maxLength) {
    const std::size_t n = frequencies.size();
    std::vector<std::uint64_t> freq(frequencies.begin(), frequencies.end());
    // Two symbols at least: a lone code of length 1 would leave half the code
    // space undefined, which not every decoder accepts.
    std::size_t used = static_cast<std::size_t>(std::count_if(freq.begin(), freq.end(), [](auto f) { return f > 0; }));
    for (std::size_t i = 0; i < n && used < 2; ++i) {
        if (freq[i] == 0) {
            freq[i] = 1;
            ++used;
        }
    }
    // Flatten the distribution until the longest code fits; each round halves
    // the spread, so this ends after a few rounds at most.
    for (;;) {
        std::vector<std::uint8_t> lengths = huffmanLengths(freq);
        if (*std::max_element(lengths.begin(), lengths.end()) <= maxLength) return lengths;
        for (auto& f : freq)
            if (f > 0) f = (f >> 1) | 1;
    }
}

std::vector<std::uint16_t> canonicalCodes(const std::vector<std::uint8_t>& lengths) {
    unsigned count[17] = {};
    for (auto len : lengths) count[len]++;
    count[0] = 0;
    unsigned next[17] = {};
    unsigned code = 0;
    for (unsigned len = 1; len <= 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i]) codes[i] = static_cast<std::uint16_t>(next[lengths[i]]++);
    return codes;
}

std::uint64_t codedBits(const std::vector<std::uint32_t>& frequencies, const std::vector<std::uint8_t>& lengths) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < frequencies.size(); ++i) bits += std::uint64_t(frequencies[i]) * lengths[i];
    return bits;
}

}  // namespace ppd_pack
