#include "app/offscreen_target.h"

#include "app/demo_gl_state.h"
#include "platform/gl_api.h"

OffscreenTarget::OffscreenTarget(vantor::platform::OffscreenGL& gl) : gl_(gl) {
    gl_.makeCurrent();
    setInitialGlState();
    setDemoProjection(gl_.width(), gl_.height());
}

void OffscreenTarget::clearFrame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); }

void OffscreenTarget::swapBuffers() { glFlush(); }

void OffscreenTarget::resize(int width, int height) { setDemoProjection(width, height); }
