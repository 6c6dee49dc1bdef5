// Writes planned blocks as bits: the table headers with their delta-coded
// code lengths, and the symbols of each block.
#pragma once

#include "libs/ppd/pack/bit_writer.h"
#include "libs/ppd/pack/block_plan.h"

#include <cstdint>

namespace ppd_pack {

// The table memory the decoder keeps between table switches.
struct TableState {
    std::uint8_t oldTable[1028] = {};
    unsigned lastSize = 0;  // size of the last table sent; 0 after a reset
};

// Chooses the block's code lengths from its statistics (once) and sends them.
void writeTables(BitWriter& out, Block& block, TableState& tables);
// Sends the block's symbols with the lengths chosen by writeTables.
void writeBlockSymbols(BitWriter& out, const Block& block);
// Sends the symbol that makes the decoder read new tables, coded with the
// tables of the block that just ended.
void writeTableSwitch(BitWriter& out, const Block& block);

// Sends one symbol that only produces output (never a table switch), used as
// the first bits of a member's padding.
void writeFiller(BitWriter& out, const Block& block);

}  // namespace ppd_pack
