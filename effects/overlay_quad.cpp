#include "effects/overlay_quad.h"

#include "effects/ortho_matrices.h"
#include "platform/gl_api.h"

void drawOverlayQuad(float red, float green, float blue, float alpha) {
    pushOrthoMatrices(0, 1, 0, 1);

    glColor4f(red, green, blue, alpha);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glVertex2f(0, 1);
    glEnd();

    popOrthoMatrices();
}
