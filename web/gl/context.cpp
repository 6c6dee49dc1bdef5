#include "context.h"

namespace vantor::webgl {

MatrixStack& Context::currentStack() {
    switch (matrixMode) {
    case GL_PROJECTION: return projection;
    case GL_TEXTURE: return texture;
    default: return modelview;
    }
}

Context& context() {
    static Context c;
    return c;
}

void resetContext(int width, int height) {
    Context& c = context();
    c = Context{};
    // GL's first light is white; the others start dark.
    c.lights[0].diffuse = {1, 1, 1, 1};
    c.lights[0].specular = {1, 1, 1, 1};
    c.viewport[2] = c.scissor[2] = width;
    c.viewport[3] = c.scissor[3] = height;
}

}  // namespace vantor::webgl
