// The RAR 2.0 compressor: turns a sequence of members (one solid stream, or
// a single member) into packed data that the RAR 2.0 decoder restores.
//
// Each member is coded either as LZ symbols or in multimedia mode (1 to 4
// byte channels through the adaptive predictor), whichever is estimated to be
// smaller, in blocks that each carry their own Huffman tables. In a solid
// stream a member after the first begins with a table switch coded with the
// tables the previous member ended with.
#pragma once

#include <cstdint>
#include <vector>

namespace ppd_pack {

struct EncoderOptions {
    unsigned maxChain = 32;  // hash-chain positions tried per match search
    bool allowAudio = true;  // consider the multimedia mode
    unsigned align = 1;      // pad each member to a multiple of this many bytes (16 for the cipher)
};

// Compresses members that lie back to back in `stream` (sizes in
// memberSizes). With solid, members share one window and decoder state;
// without, each member starts afresh. Returns one packed buffer per member.
std::vector<std::vector<std::uint8_t>> compressMembers(const std::vector<std::uint8_t>& stream,
                                                       const std::vector<std::uint32_t>& memberSizes, bool solid,
                                                       const EncoderOptions& options = {});

}  // namespace ppd_pack
