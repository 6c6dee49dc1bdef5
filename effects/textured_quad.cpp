#include "effects/textured_quad.h"

#include "platform/gl_api.h"

void texturedQuad(float left, float top, float right, float bottom, TextureArea area) {
    glBegin(GL_QUADS);
    glTexCoord2f(area.u0, area.v0);
    glVertex2f(left, top);
    glTexCoord2f(area.u1, area.v0);
    glVertex2f(right, top);
    glTexCoord2f(area.u1, area.v1);
    glVertex2f(right, bottom);
    glTexCoord2f(area.u0, area.v1);
    glVertex2f(left, bottom);
    glEnd();
}
