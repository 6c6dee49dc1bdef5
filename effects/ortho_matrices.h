// The flat projections the 2D effects draw in.
//
// pushOrthoMatrices pushes both matrices: the projection becomes
// glOrtho(left, right, bottom, top, -1, 1), the modelview the identity, and
// the modelview is left selected. Each effect pops them in its own order
// (the modelview stays selected either way).
#pragma once

#include "platform/gl_api.h"

void pushOrthoMatrices(double left, double right, double bottom, double top);
void popProjectionThenModelview();
void popModelviewThenProjection();

// The current viewport: x, y, width, height.
struct Viewport {
    float x, y, width, height;
};
Viewport currentViewport();
