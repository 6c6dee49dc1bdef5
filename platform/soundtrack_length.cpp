#include "platform/soundtrack_length.h"

#include "platform/mp3_decoder.h"

namespace vantor::platform {

bool soundtrackLengthMs(const char* fileName, std::int64_t* ms) {
    Mp3Decoder decoder;
    if (!decoder.open(fileName) || decoder.rate() <= 0) return false;
    *ms = decoder.lengthFrames() * 1000 / decoder.rate();
    return true;
}

}  // namespace vantor::platform
