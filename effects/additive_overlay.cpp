#include "effects/additive_overlay.h"

#include "effects/ortho_matrices.h"
#include "effects/textured_quad.h"

void drawAdditiveOverlay(float alpha, float topCoordinate) {
    const Viewport v = currentViewport();
    const float left = v.x, top = v.y, right = v.width, bottom = v.height;

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    pushOrthoMatrices(left, right, bottom, top);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(1, 1, 1, alpha);
    // Texture row 0 at the bottom edge.
    texturedQuad(left, bottom, right, top, {0, 0, 1, topCoordinate});
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    popOrthoMatrices();
    glEnable(GL_DEPTH_TEST);
}
