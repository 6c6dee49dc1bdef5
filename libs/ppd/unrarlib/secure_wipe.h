// Wipes secrets (the archive password and what is derived from it) out of
// memory that is about to be released. A plain memset of memory nobody reads
// afterwards is a dead store the optimiser may remove; explicit_bzero is
// never removed.
#pragma once

#include <cstddef>
#include <string.h>

inline void rar_wipe(void* memory, std::size_t size) { explicit_bzero(memory, size); }
