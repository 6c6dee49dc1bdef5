// The protocol table as Markdown, for authors: the reference table (one row
// per registered id) that `vantor-script reference` prints, and the whole
// script manual (the language, then every effect) kept as docs/script.md.
#pragma once

#include <string>

// One row per registered id: id, class, what it draws, the codes it takes,
// the effects it draws, whether it plays from INIT.
std::string effectReferenceTable();

// The script manual: the language (header words, SETUP, TIMELINE, DEFINE,
// time expressions, capacities), the reference table and a section per
// effect with its codes.
std::string scriptManual();
