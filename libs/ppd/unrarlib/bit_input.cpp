#include "libs/ppd/unrarlib/bit_input.h"

bool rar_bit_input::start() {
    reg = rar_bit_register();
    top_ = 0;
    endOfData_ = readError_ = false;
    overrun_ = 0;
    const bool ok = refill();
    fill();
    return ok;
}

bool rar_bit_input::refill() {
    // Keep the bytes from the one holding the next unread bit, drop the
    // consumed ones. The register keeps its bits; only the buffer moves.
    const unsigned from = cursor();
    if (from < top_) {
        std::memmove(buffer_, buffer_ + from, top_ - from);
        top_ -= from;
    } else {
        overrun_ += from - top_;
        top_ = 0;
    }
    reg.load -= from;
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
    // Past the end of the data the next look is due once the stream has
    // gone far enough past it to count as exhausted.
    attentionAt_ = kSize - kReserve;
    if (endOfData_ && top_ + kOverrunAllowance < attentionAt_) attentionAt_ = top_ + kOverrunAllowance;
    return !readError_;
}

bool rar_bit_input::attend() {
    if (reg.load + kReserve > kSize && !refill()) return false;
    return !exhausted();
}

bool rar_bit_input::hasAtLeast(unsigned bytes) {
    if (top_ - (cursor() < top_ ? cursor() : top_) < bytes && !endOfData_) refill();
    const unsigned at = cursor();
    return at < top_ && top_ - at >= bytes;
}

bool rar_bit_input::exhausted() const {
    if (!endOfData_) return false;
    const std::uint64_t past = overrun_ + (cursor() > top_ ? cursor() - top_ : 0);
    // A valid stream may look a few bytes ahead; a damaged one that keeps
    // decoding zero bits gets stopped here.
    return past > kOverrunAllowance;
}
