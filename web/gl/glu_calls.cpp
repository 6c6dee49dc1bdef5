// The GLU matrix helpers, as GLU defines them (gluBuild2DMipmaps is with the
// texture calls).
#include <GL/glu.h>

#include <cmath>

#include "context.h"

using namespace vantor::webgl;

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double half = fovy / 2 * 3.14159265358979323846 / 180;
    const double sine = std::sin(half);
    if (zFar == zNear || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(half) / sine;
    Mat4 m{};
    m[0] = float(cotangent / aspect);
    m[5] = float(cotangent);
    m[10] = float(-(zFar + zNear) / (zFar - zNear));
    m[11] = -1;
    m[14] = float(-2 * zNear * zFar / (zFar - zNear));
    Mat4& top = context().currentStack().top();
    top = multiply(top, m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ) {
    double f[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    auto normalise = [](double* v) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0)
            for (int i = 0; i < 3; ++i) v[i] /= length;
    };
    normalise(f);
    const double up[3] = {upX, upY, upZ};
    double s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]};
    normalise(s);
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    Mat4 m = identity();
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = float(s[i]);
        m[i * 4 + 1] = float(u[i]);
        m[i * 4 + 2] = float(-f[i]);
    }
    Mat4& top = context().currentStack().top();
    top = multiply(multiply(top, m), translation(float(-eyeX), float(-eyeY), float(-eyeZ)));
}

}  // extern "C"
