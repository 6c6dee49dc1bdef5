// The matrix stacks: modelview, projection and texture, each at least as
// deep as GL promises (32, 2 and 2); a push past 64 or a pop of the last
// entry is ignored, as GL ignores it with an error flag.
#include "context.h"

using namespace vantor::webgl;

namespace {

constexpr std::size_t kMaxDepth = 64;

void multiplyCurrent(const Mat4& m) {
    Mat4& top = context().currentStack().top();
    top = multiply(top, m);
}

}  // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION || mode == GL_TEXTURE) context().matrixMode = mode;
}
void glLoadIdentity(void) { context().currentStack().top() = identity(); }
void glPushMatrix(void) {
    MatrixStack& s = context().currentStack();
    if (s.entries.size() < kMaxDepth) s.entries.push_back(s.top());
}
void glPopMatrix(void) {
    MatrixStack& s = context().currentStack();
    if (s.entries.size() > 1) s.entries.pop_back();
}
void glLoadMatrixf(const GLfloat* m) {
    Mat4& top = context().currentStack().top();
    for (int i = 0; i < 16; ++i) top[i] = m[i];
}
void glMultMatrixf(const GLfloat* m) {
    Mat4 factor;
    for (int i = 0; i < 16; ++i) factor[i] = m[i];
    multiplyCurrent(factor);
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { multiplyCurrent(translation(x, y, z)); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { multiplyCurrent(scaling(x, y, z)); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { multiplyCurrent(rotation(angle, x, y, z)); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    if (l == r || b == t || n == f) return;
    multiplyCurrent(ortho(l, r, b, t, n, f));
}
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    if (l == r || b == t || n <= 0 || f <= 0 || n == f) return;
    multiplyCurrent(frustum(l, r, b, t, n, f));
}

}  // extern "C"
