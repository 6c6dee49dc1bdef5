// A 4 x 4 float matrix stored the way OpenGL reads it: the element in column c
// and row r sits at index 4c + r, so data() goes straight to glLoadMatrixf or
// glMultMatrixf and glGetFloatv fills it directly.
#pragma once

#include "scene/format/vector.h"

struct Matrix4 {
    float m[16];

    Matrix4() { identity(); }

    void identity();
    void set(int column, int row, float value) { m[4 * column + row] = value; }
    float get(int column, int row) const { return m[4 * column + row]; }
    float* data() { return m; }
    const float* data() const { return m; }

    // Rx(a) . Ry(b) . Rz(c) for column vectors, angles in radians, written into
    // a fresh identity. Sines and cosines are taken in double precision.
    void setEuler(float a, float b, float c);

    // Upper 3 x 3 part times v (rotation only).
    Vec3 rotate(const Vec3& v) const;
    // The full matrix times (v, w); returns x, y, z and stores the fourth
    // component in *outW when given.
    Vec3 transform(const Vec3& v, float w, float* outW = nullptr) const;
};

// Degrees to radians the way the scene library does it: angle / 360 x 2 pi.
float degreesToRadians(float degrees);
