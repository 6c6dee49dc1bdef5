// The flat projections the 2D effects draw in.
//
// pushOrthoMatrices pushes both matrices: the projection becomes
// glOrtho(left, right, bottom, top, -1, 1), the modelview the identity, and
// the modelview is left selected. popOrthoMatrices pops both again (the
// projection first) and leaves the modelview selected, as the effect contract
// (runtime/effect.h) wants it.
#pragma once

#include "platform/gl_api.h"

void pushOrthoMatrices(double left, double right, double bottom, double top);
void popOrthoMatrices();

// The current viewport: x, y, width, height.
struct Viewport {
    float x, y, width, height;
};
Viewport currentViewport();
