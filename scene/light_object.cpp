#include "scene/object_kinds.h"

#include "platform/gl_api.h"

void LightObject::setEnabled(bool on) {
    enabled = on;
    if (!hasGlLight()) return;
    if (on)
        glEnable(GL_LIGHT0 + lightNumber);
    else
        glDisable(GL_LIGHT0 + lightNumber);
}

void LightObject::sendColours() const {
    if (!hasGlLight()) return;
    const GLenum gl = GL_LIGHT0 + lightNumber;
    const GLfloat ambientRgba[4] = {ambient.x, ambient.y, ambient.z, 1.0f};
    const GLfloat diffuseRgba[4] = {diffuse.x, diffuse.y, diffuse.z, 1.0f};
    const GLfloat specularRgba[4] = {specular.x, specular.y, specular.z, 1.0f};
    glLightfv(gl, GL_AMBIENT, ambientRgba);
    glLightfv(gl, GL_DIFFUSE, diffuseRgba);
    glLightfv(gl, GL_SPECULAR, specularRgba);
}
