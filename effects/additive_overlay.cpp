#include "effects/additive_overlay.h"

#include "effects/ortho_matrices.h"

void drawAdditiveOverlay(float alpha, float topCoordinate) {
    const Viewport v = currentViewport();
    const float left = v.x, top = v.y, right = v.width, bottom = v.height;

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    pushOrthoMatrices(left, right, bottom, top);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(1, 1, 1, alpha);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, bottom);
    glTexCoord2f(1, 0);
    glVertex2f(right, bottom);
    glTexCoord2f(1, topCoordinate);
    glVertex2f(right, top);
    glTexCoord2f(0, topCoordinate);
    glVertex2f(left, top);
    glEnd();
    glDisable(GL_BLEND);
    popModelviewThenProjection();
    glEnable(GL_DEPTH_TEST);
}
