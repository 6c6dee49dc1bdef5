#include "scene/format/vector.h"

#include <cmath>

float Vec3::length() const { return std::sqrt(x * x + y * y + z * z); }

void Vec3::normalize() {
    const float inverse = 1.0f / length();
    x *= inverse;
    y *= inverse;
    z *= inverse;
}
