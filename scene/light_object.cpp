#include "scene/object_kinds.h"

#include "platform/gl_api.h"

void LightObject::setEnabled(bool on) {
    enabled = on;
    if (!hasGlLight()) return;
    if (on)
        glEnable(GL_LIGHT0 + lightNumber);
    else
        glDisable(GL_LIGHT0 + lightNumber);
}
