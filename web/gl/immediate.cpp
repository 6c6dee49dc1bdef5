// glBegin/glEnd: the vertices are gathered with the current attributes and
// drawn as one batch at glEnd; quads, quad strips and polygons become the
// triangle lists and fans WebGL draws.
#include <vector>

#include "draw.h"

using namespace vantor::webgl;

namespace {

struct Batch {
    bool open = false;
    GLenum mode = GL_TRIANGLES;
    std::vector<Vertex> vertices;
    std::vector<Vertex> triangles;
};

Batch& batch() {
    static Batch b;
    return b;
}

void emit(float x, float y, float z, float w) {
    Context& c = context();
    Batch& b = batch();
    if (!b.open) return;  // a vertex outside glBegin/glEnd is ignored, as GL ignores it
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    v.position[3] = w;
    for (int k = 0; k < 4; ++k) v.color[k] = c.color[k];
    for (int k = 0; k < 3; ++k) v.normal[k] = c.normal[k];
    v.texCoord0[0] = c.units[0].current[0];
    v.texCoord0[1] = c.units[0].current[1];
    v.texCoord1[0] = c.units[1].current[0];
    v.texCoord1[1] = c.units[1].current[1];
    b.vertices.push_back(v);
}

void setTexCoord(int unit, float s, float t) {
    if (unit < 0 || unit >= kTextureUnits) return;
    context().units[unit].current = {s, t, 0, 1};
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
    Batch& b = batch();
    b.open = true;
    b.mode = mode;
    b.vertices.clear();
}

void glEnd(void) {
    Batch& b = batch();
    if (!b.open) return;
    b.open = false;
    const std::vector<Vertex>& v = b.vertices;
    switch (b.mode) {
    case GL_QUADS:
        b.triangles.clear();
        for (std::size_t i = 0; i + 3 < v.size(); i += 4)
            for (std::size_t k : {0, 1, 2, 0, 2, 3}) b.triangles.push_back(v[i + k]);
        drawVertices(GL_TRIANGLES, b.triangles);
        break;
    case GL_QUAD_STRIP: {
        // A quad strip's vertex order is a triangle strip's; a dangling odd vertex is dropped.
        b.triangles.assign(v.begin(), v.begin() + std::ptrdiff_t(v.size() & ~std::size_t(1)));
        drawVertices(GL_TRIANGLE_STRIP, b.triangles);
        break;
    }
    case GL_POLYGON: drawVertices(GL_TRIANGLE_FAN, v); break;
    case GL_POINTS:
    case GL_LINES:
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN: drawVertices(b.mode, v); break;
    default: break;
    }
}

void glVertex2f(GLfloat x, GLfloat y) { emit(x, y, 0, 1); }
void glVertex2i(GLint x, GLint y) { emit(float(x), float(y), 0, 1); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { emit(x, y, z, 1); }
void glVertex3fv(const GLfloat* v) { emit(v[0], v[1], v[2], 1); }

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { context().color = {r, g, b, 1}; }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { context().color = {r, g, b, a}; }
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) { context().color = {r / 255.f, g / 255.f, b / 255.f, 1}; }
void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    context().color = {r / 255.f, g / 255.f, b / 255.f, a / 255.f};
}
void glColor4fv(const GLfloat* v) { context().color = {v[0], v[1], v[2], v[3]}; }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    float* n = context().normal;
    n[0] = x;
    n[1] = y;
    n[2] = z;
}
void glNormal3fv(const GLfloat* v) { glNormal3f(v[0], v[1], v[2]); }

void glTexCoord1f(GLfloat s) { setTexCoord(0, s, 0); }
void glTexCoord2f(GLfloat s, GLfloat t) { setTexCoord(0, s, t); }
void glTexCoord2fv(const GLfloat* v) { setTexCoord(0, v[0], v[1]); }

// The multitexture entry points the program looks up by name (see the
// lookup below); GL_TEXTURE0_ARB is GL_TEXTURE0.
void vantorMultiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) { setTexCoord(int(unit - GL_TEXTURE0), s, t); }
void vantorMultiTexCoord2fv(GLenum unit, const GLfloat* v) { setTexCoord(int(unit - GL_TEXTURE0), v[0], v[1]); }

}  // extern "C"
