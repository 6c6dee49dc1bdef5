// The length of an MP3 soundtrack, for a clock that plays no sound (an
// offline renderer): what the music player would play of the file, in ms.
#pragma once

#include <cstdint>

namespace vantor::platform {

// False when the file cannot be opened or holds no decodable MPEG audio (as
// the music player would refuse it); otherwise the length in *ms.
bool soundtrackLengthMs(const char* fileName, std::int64_t* ms);

}  // namespace vantor::platform
