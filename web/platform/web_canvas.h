// The page's canvas and its WebGL 2 context: made current with what the
// demo window offers (alpha, depth, stencil, no multisampling, the frame kept
// until the next one so it can be read back), the GL layer started on it and
// the program's multitexture entry points loaded.
#pragma once

#include <string>

namespace vantor::web {

// False with the reason in *error when the browser gives no WebGL 2 context.
bool startCanvas(const char* selector, int width, int height, std::string* error);

// Tells the page the frame it wanted is drawn (window.vantorDone), or that the
// program failed (window.vantorError, shown in the page's message panel).
void reportDone();
void reportError(const std::string& message);

}  // namespace vantor::web
