#include "tools/meshcaster/import/import_staging.h"

#include <algorithm>
#include <cmath>

namespace meshimport {
namespace {

Vec3 unit(Vec3 v) {
    v.normalize();
    return v;
}

// How far the eye must be from the centre for the sphere of radius r around
// the model to fill the view's height: its half height is 22.5 degrees.
float framingDistance(float r) { return r / std::sin(22.5f * 3.14159265f / 180); }

}  // namespace

void Bounds::add(const Vec3& p) {
    if (empty) {
        low = high = p;
        empty = false;
        return;
    }
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

Vec3 Bounds::centre() const { return empty ? Vec3{} : (low + high) * 0.5f; }

float Bounds::radius() const { return empty ? 0.1f : std::max(0.1f, (high - low).length() * 0.5f); }

std::vector<Vec3> framingEyes(const Bounds& bounds) {
    const Vec3 c = bounds.centre();
    const float d = framingDistance(bounds.radius());
    return {c + unit({0.55f, 0.35f, 1.0f}) * d, c + unit({-0.8f, 0.75f, 0.7f}) * d};
}

Vec3 keyLightPosition(const Bounds& bounds) {
    return bounds.centre() + unit({-0.6f, 1.0f, 0.8f}) * (4 * bounds.radius());
}

}  // namespace meshimport
