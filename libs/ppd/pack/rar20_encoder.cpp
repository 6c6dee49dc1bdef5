#include "libs/ppd/pack/rar20_encoder.h"

#include "libs/ppd/pack/bit_writer.h"
#include "libs/ppd/pack/block_plan.h"
#include "libs/ppd/pack/block_writer.h"

namespace ppd_pack {

namespace {

// Plans every member of one stream in order (the choice of symbols depends on
// the state the previous members leave behind).
std::vector<std::vector<Block>> planStream(const std::uint8_t* data, std::uint32_t size,
                                           const std::vector<std::uint32_t>& memberSizes, std::uint32_t firstMember,
                                           std::size_t memberCount, const EncoderOptions& options) {
    MatchFinder finder(data, size, options.maxChain);
    ParseState state;
    std::vector<std::vector<Block>> plans;
    std::uint32_t pos = firstMember;
    for (std::size_t i = 0; i < memberCount; ++i) {
        const std::uint32_t end = pos + memberSizes[i];
        plans.push_back(planMember(finder, data, pos, end, state, options.allowAudio, options.maxChain));
        pos = end;
    }
    return plans;
}

// Writes one member: the tables of its first block (after the switch symbol
// when it continues a solid stream, coded with the tables then in force),
// its blocks with table switches between them, two spare bytes, and padding
// up to a multiple of `align` bytes. The padding starts with a harmless symbol, so a decoder
// that peeks one symbol past the member's end never mistakes the padding
// for a table switch.
std::vector<std::uint8_t> writeMember(std::vector<Block>& blocks, const Block* previous, TableState& tables,
                                      unsigned align) {
    std::vector<std::uint8_t> packed;
    if (blocks.empty()) return packed;
    BitWriter out(packed);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const Block* before = b > 0 ? &blocks[b - 1] : previous;
        if (before) writeTableSwitch(out, *before);
        writeTables(out, blocks[b], tables);
        writeBlockSymbols(out, blocks[b]);
    }
    if (align > 1) writeFiller(out, blocks.back());
    // Two spare bytes: some decoders fetch up to 16 bits ahead of the last
    // symbol and give up when the member's data ends before that.
    out.flush();
    out.put(0, 16);
    while (packed.size() % align != 0) packed.push_back(0);
    return packed;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> compressMembers(const std::vector<std::uint8_t>& stream,
                                                       const std::vector<std::uint32_t>& memberSizes, bool solid,
                                                       const EncoderOptions& options) {
    std::vector<std::vector<std::uint8_t>> packed;
    const std::uint32_t size = static_cast<std::uint32_t>(stream.size());
    if (solid) {
        std::vector<std::vector<Block>> plans =
            planStream(stream.data(), size, memberSizes, 0, memberSizes.size(), options);
        TableState tables;
        const Block* current = nullptr;  // the block whose tables the decoder holds
        for (std::size_t i = 0; i < plans.size(); ++i) {
            packed.push_back(writeMember(plans[i], current, tables, options.align));
            if (!plans[i].empty()) current = &plans[i].back();
        }
        return packed;
    }
    std::uint32_t pos = 0;
    for (const std::uint32_t memberSize : memberSizes) {
        // Each member on its own: the finder sees only the member's bytes.
        std::vector<std::vector<Block>> plan = planStream(stream.data() + pos, memberSize, {memberSize}, 0, 1, options);
        TableState tables;
        packed.push_back(writeMember(plan.front(), nullptr, tables, options.align));
        pos += memberSize;
    }
    return packed;
}

}  // namespace ppd_pack
