#include "web/show/canvas_target.h"

#include "app/demo_gl_state.h"
#include "web/gl/gl_layer.h"
#include "web/platform/web_canvas.h"
#include "web/platform/web_yield.h"

#include <emscripten/html5.h>

#include <algorithm>

CanvasTarget::CanvasTarget(const char* selector, int width, int height) : selector_(selector) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    ready_ = vantor::web::startCanvas(selector, width, height, &error_);
    if (!ready_) return;
    setInitialGlState();
    show_.resize(width, height);
}

void CanvasTarget::clearFrame() { show_.beginFrame(); }

void CanvasTarget::swapBuffers() {
    show_.present();
    vantor::webgl::finishFrame();
    if (yieldAfterSwap_) vantor::web::yieldToBrowser();
}

void CanvasTarget::resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    emscripten_set_canvas_element_size(selector_.c_str(), width, height);
    show_.resize(width, height);
}

void CanvasTarget::toggleFullscreen() {
    EmscriptenFullscreenChangeEvent state;
    if (emscripten_get_fullscreen_status(&state) == EMSCRIPTEN_RESULT_SUCCESS && state.isFullscreen)
        emscripten_exit_fullscreen();
    else
        emscripten_request_fullscreen(selector_.c_str(), EM_FALSE);
}
