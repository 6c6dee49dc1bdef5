// The frame meshcaster draws a scene into, set up through the demo's own GL
// state and projection (45 degrees vertical field of view, near 0.1, far 20000,
// depth test GL_LEQUAL), on an opaque black frame with a white current colour.
#pragma once

// Viewport and projection for width x height, identity modelview, and the
// colour and depth buffers cleared.
void beginDemoFrame(int width, int height);
