// MSB-first bit output, the order in which the RAR 2.0 decoder peeks bits.
#pragma once

#include <cstdint>
#include <vector>

namespace ppd_pack {

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low `bits` bits of value (bits <= 24), most significant first.
    void put(std::uint32_t value, unsigned bits) {
        if (bits == 0) return;
        acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> count_));
        }
        acc_ &= (1u << count_) - 1;
    }
    // Pads the last byte with zero bits.
    void flush() {
        if (count_ > 0) put(0, 8 - count_);
    }
    std::uint64_t bitCount() const { return out_.size() * 8ull + count_; }

private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t acc_ = 0;
    unsigned count_ = 0;
};

}  // namespace ppd_pack
