#include "platform/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace vantor::platform {

namespace {

constexpr int kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * sizeof(std::int16_t);

bool libraryReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = mpg123_init() == MPG123_OK; });
    return ready;
}

}  // namespace

Mp3Decoder::~Mp3Decoder() { close(); }

void Mp3Decoder::close() {
    if (!handle_) return;
    mpg123_close(handle_);
    mpg123_delete(handle_);
    handle_ = nullptr;
    rate_ = 0;
    length_ = 0;
    position_ = 0;
    ended_ = false;
}

bool Mp3Decoder::open(const std::string& path) {
    close();
    if (!libraryReady()) return false;
    int error = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (!mh) return false;
    handle_ = mh;

    // Gapless output, mono played on both channels, no printouts, and enough
    // frames decoded ahead of a seek target that the bit reservoir is full
    // there (exact seeks in VBR files too).
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    mpg123_param(mh, MPG123_PREFRAMES, 8, 0.0);

    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(mh, path.c_str()) != MPG123_OK || mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK ||
        rate <= 0) {
        close();
        return false;
    }
    // One fixed output format for the whole file: its first rate, stereo, 16 bit.
    mpg123_format_none(mh);
    if (mpg123_format(mh, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        close();
        return false;
    }
    if (mpg123_scan(mh) != MPG123_OK) {
        close();
        return false;
    }
    const off_t length = mpg123_length(mh);
    if (length < 0 || mpg123_seek(mh, 0, SEEK_SET) < 0) {
        close();
        return false;
    }
    rate_ = static_cast<int>(rate);
    length_ = length;
    position_ = 0;
    ended_ = false;
    return true;
}

std::size_t Mp3Decoder::readFrames(std::int16_t* out, std::size_t frames) {
    if (!handle_ || ended_) return 0;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(out);
    std::size_t filled = 0;
    const std::size_t wanted = frames * kFrameBytes;
    // A new-format notice or a frame without output gives no bytes; many in a
    // row mean the data is broken, and the stream ends there.
    int emptyReads = 0;
    while (filled < wanted && emptyReads < 64) {
        std::size_t done = 0;
        const int result = mpg123_read(handle_, bytes + filled, wanted - filled, &done);
        filled += done;
        emptyReads = done == 0 ? emptyReads + 1 : 0;
        if (result == MPG123_DONE) {
            ended_ = true;
            break;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT && result != MPG123_NEED_MORE) {
            ended_ = true;  // a decoding error that could not be skipped
            break;
        }
    }
    if (emptyReads >= 64) ended_ = true;
    const std::size_t got = filled / kFrameBytes;
    position_ += static_cast<std::int64_t>(got);
    return got;
}

bool Mp3Decoder::seekFrame(std::int64_t frame) {
    if (!handle_) return false;
    frame = std::clamp<std::int64_t>(frame, 0, length_);
    const off_t reached = mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0) return false;
    position_ = reached;
    ended_ = position_ >= length_;
    return true;
}

}  // namespace vantor::platform
