// The extraction's large buffers: the decoder's window and the members'
// output. Both are written from start to end once they are in use, and on
// this system the first touch of every 4 KB page costs a page fault, so they
// are placed on 2 MB huge pages where the system offers them on request.
#pragma once

#include <cstddef>
#include <cstdint>

// kRarWindowSize zeroed bytes, released with rar_release_window; null when
// out of memory.
std::uint8_t* rar_allocate_window();
void rar_release_window(std::uint8_t* window);

// An output buffer of at least size bytes, released with free(). A buffer
// meant to be used again for other members is rounded up to whole huge
// pages and placed on them, however small the first member is; *capacity
// receives the usable size.
std::uint8_t* rar_allocate_output(std::uint32_t size, bool reusable, std::uint32_t* capacity);
