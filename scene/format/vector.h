// Float vectors of the scene library: Vec3 for positions, normals and colours,
// Vec2 for texture coordinates. Plain values, single precision throughout.
#pragma once

struct Vec3 {
    float x = 0, y = 0, z = 0;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    void set(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
    }
    void zero() { x = y = z = 0; }

    // b - a, component by component.
    static Vec3 difference(const Vec3& a, const Vec3& b) { return {b.x - a.x, b.y - a.y, b.z - a.z}; }

    void add(const Vec3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
    }
    void scale(float s) {
        x *= s;
        y *= s;
        z *= s;
    }

    float length() const;
    // Multiplies by 1 / length; a zero vector gives non-finite components.
    void normalize();

    static float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static Vec3 cross(const Vec3& a, const Vec3& b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
    // (1 - u) a + u b
    static Vec3 lerp(const Vec3& a, const Vec3& b, float u) {
        return {(1 - u) * a.x + u * b.x, (1 - u) * a.y + u * b.y, (1 - u) * a.z + u * b.z};
    }

    Vec3 operator+(const Vec3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    Vec3 operator-(const Vec3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    const float* data() const { return &x; }
};

inline Vec3 operator*(float s, const Vec3& v) { return v * s; }

struct Vec2 {
    float u = 0, v = 0;

    Vec2() = default;
    Vec2(float u_, float v_) : u(u_), v(v_) {}

    void set(float u_, float v_) {
        u = u_;
        v = v_;
    }
    void zero() { u = v = 0; }
    const float* data() const { return &u; }
};
