#include "app/offscreen_target.h"

#include "app/demo_gl_state.h"
#include "platform/gl_api.h"

OffscreenTarget::OffscreenTarget(vantor::platform::OffscreenGL& gl) : gl_(gl) {
    gl_.makeCurrent();
    setInitialGlState();
    show_.resize(gl_.width(), gl_.height());
}

void OffscreenTarget::clearFrame() { show_.beginFrame(); }

void OffscreenTarget::swapBuffers() {
    show_.present();
    glFlush();
}

void OffscreenTarget::resize(int width, int height) { show_.resize(width, height); }
