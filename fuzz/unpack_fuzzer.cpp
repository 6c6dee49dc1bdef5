// Fuzzes the RAR 2.0 decompressor on raw packed streams, without the archive
// around them, so every input byte is the decoder's. An input is
//
//   byte 0     flags: 1 = the first member only rebuilds the window (as a
//              solid archive's members before the wanted one do);
//              2 = a second member follows that continues the stream (solid)
//   bytes 1-3  the first member's unpacked size (little-endian)
//   bytes 4-6  the second member's unpacked size
//   bytes 7-8  the first member's packed size (the rest of the input when
//              there is no second member or it is larger)
//   then the first member's packed bytes, then the second member's.
//
// Unpacked sizes are capped at kLargestUnpacked, enough for the window to
// wrap: the decoder's loops are the same for longer members.
#include "libs/ppd/unrarlib/large_buffers.h"
#include "libs/ppd/unrarlib/packed_reader.h"
#include "libs/ppd/unrarlib/unpack20.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::size_t kHeader = 9;
constexpr std::uint32_t kLargestUnpacked = kRarWindowSize + (kRarWindowSize >> 2);

std::uint32_t le24(const std::uint8_t* p) { return p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16; }

// The decoder's state and window, made once: a member that does not continue
// the stream resets both (clearing only the part of the window it used), and
// every input starts with such a member.
rar_unpack_state& unpackState() {
    static rar_unpack_state* state = [] {
        auto* s = new rar_unpack_state;
        s->window = rar_allocate_window();
        if (!s->window) std::abort();
        return s;
    }();
    return *state;
}

// Decodes one member from bytes; checks that the output never exceeds the
// member's size, whether the stream succeeded or not.
void unpackMember(const std::uint8_t* bytes, std::size_t size, std::uint32_t unpackedSize, bool solid, bool output) {
    std::FILE* in = size ? fmemopen(const_cast<std::uint8_t*>(bytes), size, "rb") : nullptr;
    rar_packed_reader reader;
    rar_begin_member(reader, in, static_cast<std::uint32_t>(size), 0, nullptr);
    std::unique_ptr<std::uint8_t, decltype(&std::free)> buffer(
        output ? static_cast<std::uint8_t*>(std::malloc(unpackedSize ? unpackedSize : 1)) : nullptr, &std::free);
    std::uint32_t length = 0;
    rar_unpack_job job;
    job.unpackedSize = unpackedSize;
    job.solid = solid;
    job.output = buffer.get();
    job.outputLength = &length;
    rar_unpack(unpackState(), reader, job);
    if (length > unpackedSize) std::abort();
    if (in) std::fclose(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) return -1;
    const bool firstWithoutOutput = data[0] & 1;
    const bool second = data[0] & 2;
    const std::uint32_t firstSize = std::min(le24(data + 1), kLargestUnpacked);
    const std::uint32_t secondSize = std::min(le24(data + 4), kLargestUnpacked);
    const std::size_t packed = size - kHeader;
    const std::size_t firstPacked = second ? std::min<std::size_t>(data[7] | data[8] << 8, packed) : packed;
    unpackMember(data + kHeader, firstPacked, firstSize, false, !firstWithoutOutput);
    if (second) unpackMember(data + kHeader + firstPacked, packed - firstPacked, secondSize, true, true);
    return 0;
}
