// What an image file's header asks of the reader before any pixel is read:
// the bytes of the picture it declares. The image targets use it to leave
// large pictures to the readers' own tests: a few header bytes may declare a
// picture near the readers' bound, which then costs its whole size in
// allocation, clearing and conversion under the sanitizers while its code
// paths are those of a small one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantor::fuzz {

// The largest picture the input declares, in bytes, as the reader for the
// file extension would find it (the first image of a GIF, the first frame of
// a JPEG); 0 when the header is too short or not of that kind, which the
// reader refuses before it allocates anything.
std::size_t declaredImageBytes(const std::uint8_t* data, std::size_t size, std::string_view extension);

}  // namespace vantor::fuzz
