// GL 1.x over WebGL 2: the fixed-function calls the engine makes, drawn with
// shader programs in the browser's context. This header is what the web
// platform layer sees of it; the engine itself only sees the GL names.
#pragma once

namespace vantor::webgl {

// Call once the browser's WebGL 2 context is current: puts the layer in GL's
// initial state for a drawing buffer of the given size.
void startLayer(int width, int height);

// The layer's entry points that the program looks up by name (the
// multitexture calls), or null.
void* entryPoint(const char* name);

// Fills the drawing buffer's alpha with 1 so the page shows the frame as the
// native window does (the frame may use destination alpha while it is drawn).
void finishFrame();

}  // namespace vantor::webgl
