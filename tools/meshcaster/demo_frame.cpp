#include "tools/meshcaster/demo_frame.h"

#include "app/demo_gl_state.h"
#include "platform/gl_api.h"

void beginDemoFrame(int width, int height) {
    setInitialGlState();
    setDemoProjection(width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
}
