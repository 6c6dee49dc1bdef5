#include "content/scenes/scene_common.h"

namespace demoscenes {

scenekit::MaterialSpec litColour(const Vec3& c, float shininess, float strength) {
    scenekit::MaterialSpec m;
    m.colour = c;
    m.ambient = c * 0.4f;
    m.shininess = shininess;
    m.strength = strength;
    return m;
}

scenekit::MaterialSpec litTexture(const char* texture, const Vec3& tint) {
    scenekit::MaterialSpec m;
    m.colour = tint;
    m.ambient = tint * 0.45f;
    m.shininess = 0.25f;
    m.strength = 0.5f;
    m.base = texture;
    return m;
}

scenekit::MaterialSpec chrome() {
    scenekit::MaterialSpec m;
    m.colour = {1, 1, 1};
    m.reflection = kChromeMap;
    return m;
}

scenekit::MaterialSpec panelChrome() {
    scenekit::MaterialSpec m;
    m.colour = {1, 1, 1};
    m.base = kPanel;
    m.reflection = kChromeMap;
    return m;
}

scenekit::MaterialSpec glow(const char* texture, const Vec3& tint) {
    scenekit::MaterialSpec m;
    m.colour = tint;
    m.ambient = tint;
    m.specular = {0, 0, 0};
    m.strength = 0;
    m.twoSided = true;
    m.additive = texture;
    return m;
}

}  // namespace demoscenes
