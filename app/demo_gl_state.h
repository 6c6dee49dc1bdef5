// The GL state every frame target of the demo starts with, shared by the
// window and the offscreen target so that both draw the same pictures.
#pragma once

// Black clear colour with alpha 0, depth cleared to 1, depth test with
// less-or-equal, nicest perspective correction.
void setInitialGlState();

// Viewport and projection: 45 degree vertical field of view, aspect
// width / height (a height of 0 counts as 1), near 0.1, far 20000; the
// modelview matrix is reset.
void setDemoProjection(int width, int height);
