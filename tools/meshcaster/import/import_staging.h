// Where the importer puts what a file leaves out: two cameras that frame the
// model and one key light. The demo draws with a 45-degree vertical field of
// view at 4:3 and its far plane at 20000 units.
#pragma once

#include "scene/format/vector.h"

#include <vector>

namespace meshimport {

constexpr float kFarPlane = 20000;

struct Bounds {
    Vec3 low, high;
    bool empty = true;

    void add(const Vec3& p);
    Vec3 centre() const;
    // Radius of the sphere around the box (at least a millimetre).
    float radius() const;
};

// Eyes of the two framing cameras, both looking at the centre: one from the
// front right and a little above, one from the front left and higher (models
// mostly face +z).
std::vector<Vec3> framingEyes(const Bounds& bounds);
// The key light, high on the front left, well outside the model.
Vec3 keyLightPosition(const Bounds& bounds);

}  // namespace meshimport
