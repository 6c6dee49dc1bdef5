// 4x4 matrices as GL keeps them: sixteen floats, column after column.
#pragma once

#include <array>

namespace vantor::webgl {

using Mat4 = std::array<float, 16>;
using Vec4 = std::array<float, 4>;

Mat4 identity();
Mat4 multiply(const Mat4& a, const Mat4& b);  // a * b
Vec4 transform(const Mat4& m, const Vec4& v);
Mat4 translation(float x, float y, float z);
Mat4 scaling(float x, float y, float z);
// A turn of angle degrees about the axis (x, y, z), which need not be of unit length.
Mat4 rotation(float degrees, float x, float y, float z);
Mat4 ortho(double left, double right, double bottom, double top, double nearZ, double farZ);
Mat4 frustum(double left, double right, double bottom, double top, double nearZ, double farZ);
// The inverse transpose of the upper 3x3 part (normals into eye space), column-major.
std::array<float, 9> normalMatrix(const Mat4& m);

}  // namespace vantor::webgl
