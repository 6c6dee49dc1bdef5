// The frame meshcaster draws a scene into, set up as the demo window sets up
// its own: 45 degrees vertical field of view, near 0.1, far 20000, depth test
// GL_LEQUAL, a black frame and a white current colour.
#pragma once

// Viewport and projection for width x height, identity modelview, and the
// colour and depth buffers cleared.
void beginDemoFrame(int width, int height);
