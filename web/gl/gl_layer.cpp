#include "gl_layer.h"

#include <cstring>

#include "context.h"

extern "C" {
void vantorActiveTexture(GLenum unit);
void vantorMultiTexCoord2f(GLenum unit, GLfloat s, GLfloat t);
void vantorMultiTexCoord2fv(GLenum unit, const GLfloat* v);
}

namespace vantor::webgl {

void startLayer(int width, int height) {
    resetContext(width, height);
    emscripten_glViewport(0, 0, width, height);
    emscripten_glScissor(0, 0, width, height);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    emscripten_glDepthFunc(GL_LESS);
    emscripten_glCullFace(GL_BACK);
    emscripten_glFrontFace(GL_CCW);
}

void* entryPoint(const char* name) {
    if (!std::strcmp(name, "glActiveTextureARB")) return reinterpret_cast<void*>(&vantorActiveTexture);
    if (!std::strcmp(name, "glMultiTexCoord2fARB")) return reinterpret_cast<void*>(&vantorMultiTexCoord2f);
    if (!std::strcmp(name, "glMultiTexCoord2fvARB")) return reinterpret_cast<void*>(&vantorMultiTexCoord2fv);
    return nullptr;
}

void finishFrame() {
    GLboolean mask[4];
    GLfloat clear[4];
    // The browser keeps these; read them back rather than keep copies.
    emscripten_glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    emscripten_glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    GLboolean scissor = GL_FALSE;
    emscripten_glGetBooleanv(GL_SCISSOR_TEST, &scissor);
    emscripten_glDisable(GL_SCISSOR_TEST);
    emscripten_glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    emscripten_glClearColor(0, 0, 0, 1);
    emscripten_glClear(GL_COLOR_BUFFER_BIT);
    emscripten_glColorMask(mask[0], mask[1], mask[2], mask[3]);
    emscripten_glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (scissor) emscripten_glEnable(GL_SCISSOR_TEST);
}

}  // namespace vantor::webgl
