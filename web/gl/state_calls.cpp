// Switches, per-fragment state, clearing and the queries the program makes.
// What WebGL keeps itself passes through; what it lacks is kept in the context.
#include <cstring>

#include "context.h"

using namespace vantor::webgl;

namespace {

// Caps this layer implements itself; true when cap is one of them.
bool setOwnCap(GLenum cap, bool on) {
    Context& c = context();
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kMaxLights) {
        c.lights[cap - GL_LIGHT0].enabled = on;
        return true;
    }
    switch (cap) {
    case GL_LIGHTING: c.lighting = on; return true;
    case GL_NORMALIZE:
    case GL_RESCALE_NORMAL: c.normalize = on; return true;
    case GL_ALPHA_TEST: c.alphaTest = on; return true;
    case GL_TEXTURE_1D: c.units[c.activeUnit].enabled1D = on; return true;
    case GL_TEXTURE_2D: c.units[c.activeUnit].enabled2D = on; return true;
    case GL_POLYGON_OFFSET_LINE: c.polygonOffsetLine = on; return true;
    case GL_CULL_FACE: c.culling = on; return false;
    case GL_COLOR_MATERIAL:
    case GL_DITHER:
    case GL_LINE_SMOOTH:
    case GL_POINT_SMOOTH:
    case GL_FOG:
    case GL_TEXTURE_GEN_S:
    case GL_TEXTURE_GEN_T: return true;  // not used by the program
    default: return false;
    }
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) {
    if (!setOwnCap(cap, true)) emscripten_glEnable(cap);
}
void glDisable(GLenum cap) {
    if (!setOwnCap(cap, false)) emscripten_glDisable(cap);
}

void glAlphaFunc(GLenum func, GLclampf ref) {
    if (func < GL_NEVER || func > GL_ALWAYS) return;
    Context& c = context();
    c.alphaFunc = func;
    c.alphaRef = ref < 0 ? 0 : ref > 1 ? 1 : ref;
}

void glBlendFunc(GLenum source, GLenum destination) { emscripten_glBlendFunc(source, destination); }
void glDepthMask(GLboolean flag) { emscripten_glDepthMask(flag); }
void glDepthFunc(GLenum func) { emscripten_glDepthFunc(func); }
void glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) { emscripten_glColorMask(r, g, b, a); }
void glCullFace(GLenum mode) {
    context().cullFace = mode;
    emscripten_glCullFace(mode);
}
void glFrontFace(GLenum mode) {
    context().frontFace = mode;
    emscripten_glFrontFace(mode);
}
void glPolygonMode(GLenum face, GLenum mode) {
    Context& c = context();
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) c.frontPolygonMode = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) c.backPolygonMode = mode;
}
void glPolygonOffset(GLfloat factor, GLfloat units) { emscripten_glPolygonOffset(factor, units); }
void glLineWidth(GLfloat width) {
    context().lineWidth = width;
    emscripten_glLineWidth(width);
}
void glHint(GLenum, GLenum) {}
void glFlush(void) { emscripten_glFlush(); }
void glFinish(void) { emscripten_glFinish(); }

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    GLint* v = context().viewport;
    v[0] = x, v[1] = y, v[2] = width, v[3] = height;
    emscripten_glViewport(x, y, width, height);
}
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    GLint* s = context().scissor;
    s[0] = x, s[1] = y, s[2] = width, s[3] = height;
    emscripten_glScissor(x, y, width, height);
}

void glClear(GLbitfield mask) {
    emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { emscripten_glClearColor(r, g, b, a); }
void glClearDepth(GLclampd depth) { emscripten_glClearDepthf(GLfloat(depth)); }

void glGetIntegerv(GLenum name, GLint* value) {
    const Context& c = context();
    switch (name) {
    case GL_VIEWPORT: std::memcpy(value, c.viewport, sizeof c.viewport); break;
    case GL_SCISSOR_BOX: std::memcpy(value, c.scissor, sizeof c.scissor); break;
    case GL_UNPACK_ALIGNMENT: *value = c.unpackAlignment; break;
    case GL_MAX_TEXTURE_UNITS_ARB: *value = kTextureUnits; break;
    case GL_MATRIX_MODE: *value = GLint(c.matrixMode); break;
    case GL_ACTIVE_TEXTURE_ARB: *value = GLint(GL_TEXTURE0 + c.activeUnit); break;
    default: *value = 0; break;
    }
}

void glGetFloatv(GLenum name, GLfloat* value) {
    Context& c = context();
    switch (name) {
    case GL_MODELVIEW_MATRIX: std::memcpy(value, c.modelview.top().data(), 16 * sizeof(float)); break;
    case GL_PROJECTION_MATRIX: std::memcpy(value, c.projection.top().data(), 16 * sizeof(float)); break;
    case GL_TEXTURE_MATRIX: std::memcpy(value, c.texture.top().data(), 16 * sizeof(float)); break;
    case GL_CURRENT_COLOR: std::memcpy(value, c.color.data(), 4 * sizeof(float)); break;
    default: *value = 0; break;
    }
}

const GLubyte* glGetString(GLenum name) {
    switch (name) {
    case GL_VENDOR: return reinterpret_cast<const GLubyte*>("Vantor");
    case GL_RENDERER: return reinterpret_cast<const GLubyte*>("GL 1.x over WebGL 2");
    case GL_VERSION: return reinterpret_cast<const GLubyte*>("1.3");
    case GL_EXTENSIONS:
        return reinterpret_cast<const GLubyte*>(
            "GL_ARB_multitexture GL_ARB_texture_env_add GL_ARB_texture_env_combine GL_EXT_separate_specular_color");
    default: return nullptr;
    }
}

GLenum glGetError(void) { return emscripten_glGetError(); }

}  // extern "C"
