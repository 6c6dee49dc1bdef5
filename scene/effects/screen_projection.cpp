#include "scene/effects/screen_projection.h"

#include "platform/gl_api.h"

#include <cmath>

namespace {

// Screen coordinates beyond this are far off any viewport; keeping well inside
// the int range leaves room for the callers' offsets.
constexpr float kLargestCoordinate = 1.0e8f;

std::optional<int> screenCoordinate(float halfSide, float clip, float w, int centre) {
    const float value = halfSide * (clip / w) + static_cast<float>(centre);
    if (!std::isfinite(value) || std::fabs(value) > kLargestCoordinate) return std::nullopt;
    return static_cast<int>(value);  // truncation toward zero
}

}  // namespace

std::optional<ScreenPoint> projectToScreen(const Vec3& p, int width, int height, int centreX, int centreY) {
    GLfloat mv[16], pr[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    // Eye coordinates, then clip coordinates (column-major matrices).
    float eye[4], clip[4];
    for (int r = 0; r < 4; ++r) eye[r] = mv[r] * p.x + mv[4 + r] * p.y + mv[8 + r] * p.z + mv[12 + r];
    for (int r = 0; r < 4; ++r)
        clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
    if (clip[3] == 0.0f) return std::nullopt;
    const auto x = screenCoordinate(static_cast<float>(width / 2), clip[0], clip[3], centreX);
    const auto y = screenCoordinate(static_cast<float>(height / 2), clip[1], clip[3], centreY);
    if (!x || !y) return std::nullopt;
    return ScreenPoint{*x, *y};
}
