// The overlay's bitmap font: DejaVu Sans Mono rendered by FreeType at build
// time (content/font) into a glyph atlas compiled into the program, so the
// overlay needs no font file and no font library at run time.
//
// Printable ASCII (32 to 126) in a grid of equal cells, 8-bit coverage, the
// first row of the atlas at the top. Every glyph advances by the cell width.
#pragma once

#include <cstdint>

struct OverlayFont {
    int cellWidth;   // also the advance
    int cellHeight;  // also the line height
    int baseline;    // from the top of a cell
    int columns;     // cells per atlas row
    int atlasWidth;
    int atlasHeight;
    char firstChar;
    char lastChar;
    const std::uint8_t* coverage;  // atlasWidth * atlasHeight bytes, 0..255
};

extern const OverlayFont kOverlayFont;
