// The extraction's large buffers: the decoder's window and the members'
// output. Both are written from start to end once they are in use, and on
// this system the first touch of every 4 KB page costs a page fault, so they
// are placed on 2 MB huge pages where the system offers them on request.
#pragma once

#include <cstddef>
#include <cstdint>

// kRarWindowSize zeroed bytes, released with rar_release_window; null when
// out of memory. Its pages are mapped one by one as they are first written,
// so a small member touches only a few of them.
std::uint8_t* rar_allocate_window();
void rar_release_window(std::uint8_t* window);
// Asks for the window's pages not yet touched to come as one huge page:
// worth it before a member that fills much of the window (clearing a huge
// page costs about as much as a few hundred first touches of small ones).
void rar_window_expect_large(std::uint8_t* window);

// An output buffer of at least size bytes, released with free(). A buffer
// meant to be used again for other members is rounded up to whole huge
// pages and placed on them, however small the first member is; *capacity
// receives the usable size.
std::uint8_t* rar_allocate_output(std::uint32_t size, bool reusable, std::uint32_t* capacity);
