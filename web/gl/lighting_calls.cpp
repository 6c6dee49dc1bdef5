// Lights, the light model and materials. A light's position and spot
// direction are taken into eye space by the modelview when they are set, as
// GL does.
#include "context.h"

using namespace vantor::webgl;

namespace {

Light* lightOf(GLenum light) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + kMaxLights) return nullptr;
    return &context().lights[light - GL_LIGHT0];
}

void setMaterial(Material& m, GLenum name, const GLfloat* v) {
    const Vec4 value{v[0], v[1], v[2], v[3]};
    switch (name) {
    case GL_AMBIENT: m.ambient = value; break;
    case GL_DIFFUSE: m.diffuse = value; break;
    case GL_SPECULAR: m.specular = value; break;
    case GL_EMISSION: m.emission = value; break;
    case GL_AMBIENT_AND_DIFFUSE: m.ambient = m.diffuse = value; break;
    case GL_SHININESS:
        if (v[0] >= 0 && v[0] <= 128) m.shininess = v[0];
        break;
    default: break;
    }
}

void forFaces(GLenum face, GLenum name, const GLfloat* v) {
    Context& c = context();
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) setMaterial(c.front, name, v);
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) setMaterial(c.back, name, v);
}

}  // namespace

extern "C" {

void glLightfv(GLenum light, GLenum name, const GLfloat* v) {
    Light* l = lightOf(light);
    if (!l) return;
    const Vec4 value{v[0], v[1], v[2], v[3]};
    switch (name) {
    case GL_AMBIENT: l->ambient = value; break;
    case GL_DIFFUSE: l->diffuse = value; break;
    case GL_SPECULAR: l->specular = value; break;
    case GL_POSITION: l->eyePosition = transform(context().modelview.top(), value); break;
    case GL_CONSTANT_ATTENUATION: l->constant = v[0]; break;
    case GL_LINEAR_ATTENUATION: l->linear = v[0]; break;
    case GL_QUADRATIC_ATTENUATION: l->quadratic = v[0]; break;
    default: break;
    }
}
void glLightf(GLenum light, GLenum name, GLfloat value) {
    const GLfloat v[4] = {value, 0, 0, 0};
    if (name == GL_CONSTANT_ATTENUATION || name == GL_LINEAR_ATTENUATION || name == GL_QUADRATIC_ATTENUATION)
        glLightfv(light, name, v);
}

void glLightModelfv(GLenum name, const GLfloat* v) {
    Context& c = context();
    if (name == GL_LIGHT_MODEL_AMBIENT)
        c.sceneAmbient = {v[0], v[1], v[2], v[3]};
    else if (name == GL_LIGHT_MODEL_TWO_SIDE)
        c.twoSide = v[0] != 0;
}
void glLightModeli(GLenum name, GLint value) {
    Context& c = context();
    if (name == GL_LIGHT_MODEL_TWO_SIDE)
        c.twoSide = value != 0;
    else if (name == GL_LIGHT_MODEL_COLOR_CONTROL)
        c.separateSpecular = value == GL_SEPARATE_SPECULAR_COLOR;
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* v) { forFaces(face, name, v); }
void glMaterialf(GLenum face, GLenum name, GLfloat value) {
    const GLfloat v[4] = {value, 0, 0, 0};
    if (name == GL_SHININESS) forFaces(face, name, v);
}

// Vertex colours are interpolated across faces; flat shading is not used by the program.
void glShadeModel(GLenum) {}

}  // extern "C"
