#include "libs/ppd/unrarlib/bit_input.h"

#include <cstring>

bool rar_bit_input::start() {
    byte_ = bit_ = top_ = 0;
    endOfData_ = readError_ = false;
    overrun_ = 0;
    return refill();
}

bool rar_bit_input::refill() {
    // Keep the unread bytes, drop the consumed ones.
    if (byte_ < top_) {
        std::memmove(buffer_, buffer_ + byte_, top_ - byte_);
        top_ -= byte_;
    } else {
        overrun_ += byte_ - top_;
        top_ = 0;
    }
    byte_ = 0;
    while (!endOfData_ && top_ < kSize) {
        const long got = rar_read_packed(reader_, buffer_ + top_, kSize - top_);
        if (got < 0) {
            readError_ = true;
            endOfData_ = true;
        } else if (got == 0) {
            endOfData_ = true;
        } else {
            top_ += static_cast<unsigned>(got);
        }
    }
    std::memset(buffer_ + top_, 0, sizeof buffer_ - top_);
    return !readError_;
}

bool rar_bit_input::hasAtLeast(unsigned bytes) {
    if (top_ - (byte_ < top_ ? byte_ : top_) < bytes && !endOfData_) refill();
    return byte_ < top_ && top_ - byte_ >= bytes;
}

bool rar_bit_input::exhausted() const {
    if (!endOfData_) return false;
    const std::uint64_t past = overrun_ + (byte_ > top_ ? byte_ - top_ : 0);
    // A valid stream may look a few bytes ahead; a damaged one that keeps
    // decoding zero bits gets stopped here.
    return past > 64;
}
