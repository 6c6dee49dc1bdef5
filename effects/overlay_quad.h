// The overlays' common drawing step: one quad over the whole viewport in a
// flat colour, inside an orthographic projection of its own. Both matrices are
// pushed before and popped after; every other GL state is the caller's.
#pragma once

void drawOverlayQuad(float red, float green, float blue, float alpha);
