// Little-endian field access for the scene file reader and writer: a cursor
// over a record already in memory, and appenders for a growing byte buffer.
#pragma once

#include "scene/format/quaternion.h"
#include "scene/format/vector.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ppp {

// Reads packed fields from a buffer whose length the caller has checked.
class FieldCursor {
public:
    explicit FieldCursor(const unsigned char* bytes) : p_(bytes) {}

    std::uint32_t u32() {
        const std::uint32_t v =
            std::uint32_t(p_[0]) | std::uint32_t(p_[1]) << 8 | std::uint32_t(p_[2]) << 16 | std::uint32_t(p_[3]) << 24;
        p_ += 4;
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() {
        const std::uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    std::uint8_t u8() { return *p_++; }
    Vec3 vec3() {
        const float x = f32(), y = f32(), z = f32();
        return {x, y, z};
    }
    Quaternion quaternion() {
        const float x = f32(), y = f32(), z = f32(), w = f32();
        return {x, y, z, w};
    }
    const unsigned char* bytes() const { return p_; }
    void skip(std::size_t n) { p_ += n; }

private:
    const unsigned char* p_;
};

class FieldWriter {
public:
    explicit FieldWriter(std::vector<unsigned char>& out) : out_(out) {}

    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void u8(std::uint8_t v) { out_.push_back(v); }
    void vec3(const Vec3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void quaternion(const Quaternion& q) {
        f32(q.x);
        f32(q.y);
        f32(q.z);
        f32(q.w);
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    // The text, NUL-padded to a field of `width` bytes (the text is shorter).
    void text(const std::string& s, std::size_t width) {
        out_.insert(out_.end(), s.begin(), s.end());
        zeros(width - s.size());
    }

private:
    std::vector<unsigned char>& out_;
};

}  // namespace ppp
