// A captured texture stretched over the whole viewport and added to what is
// there (blend factors one, one): the overlay step of the mosaic glow and of
// the add-capture effect. The caller binds the texture on unit 0 with
// texturing on.
//
// Texture row 0 lies at the bottom of the viewport, as the frame buffer rows
// were copied. topCoordinate is the texture's v at the top edge: 1 shows the
// whole capture, less leaves out the capture's top rows. Both matrices are
// pushed and popped; depth test is on, blending and texturing off afterwards.
#pragma once

#include "platform/gl_api.h"

void drawAdditiveOverlay(float alpha, float topCoordinate);
