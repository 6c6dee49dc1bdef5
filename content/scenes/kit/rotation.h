// Orientations for the kit: plain unit quaternions (x, y, z, w) that turn
// vectors the right-handed way. The scene files store the conjugate (the
// reader builds the transposed matrix), so the builder converts on writing.
#pragma once

#include "scene/format/quaternion.h"
#include "scene/format/vector.h"

namespace scenekit {

Quaternion turn(const Vec3& axis, float degrees);
// a then b: the orientation that first turns by b, then by a (like matrices a . b).
Quaternion compose(const Quaternion& a, const Quaternion& b);
// Orientation from Euler angles in degrees, turned about x, then y, then z.
Quaternion eulerXYZ(float x, float y, float z);
Vec3 rotate(const Quaternion& q, const Vec3& v);
// What the scene file stores for an orientation.
Quaternion toFile(const Quaternion& q);
// The turn that points -z of the object at `direction` with +y as near to `up` as it goes.
Quaternion lookRotation(const Vec3& direction, const Vec3& up);

}  // namespace scenekit
