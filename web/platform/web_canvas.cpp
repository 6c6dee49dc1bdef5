#include "web_canvas.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/gl_api.h"
#include "web/gl/gl_layer.h"

namespace vantor::web {

bool startCanvas(const char* selector, int width, int height, std::string* error) {
    emscripten_set_canvas_element_size(selector, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_TRUE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(selector, &attributes);
    if (context <= 0) {
        if (error) *error = "This browser gives no WebGL 2 context.";
        return false;
    }
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        if (error) *error = "The WebGL 2 context cannot be made current.";
        return false;
    }
    webgl::startLayer(width, height);
    if (!gl::loadMultitexture([](const char* name) { return webgl::entryPoint(name); })) {
        if (error) *error = "The GL layer lacks the multitexture entry points.";
        return false;
    }
    return true;
}

void reportDone() {
    EM_ASM({ window.vantorDone = true; });
}

void reportError(const std::string& message) {
    EM_ASM(
        {
            const text = UTF8ToString($0);
            window.vantorError = text;
            if (window.vantorShowMessage) window.vantorShowMessage(text);
        },
        message.c_str());
}

}  // namespace vantor::web
