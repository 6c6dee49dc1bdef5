// Scene::draw: lighting and culling set-up, the camera, the lights, then the
// object hierarchy. The projection matrix is the caller's.
#include "platform/gl_api.h"
#include "scene/scene.h"
#include "scene/scene_error.h"

void Scene::draw() {
    const GLfloat noAmbient[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glEnable(GL_LIGHTING);
    for (int i = 0; i < 8; ++i) glDisable(GL_LIGHT0 + i);

    if (culling) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glEnable(GL_NORMALIZE);

    if (!objects) SceneError("no objects in scene");
    if (!currentCamera) SceneError("no current camera");

    glLoadIdentity();
    const Vec3& eye = currentCamera->position();
    // A target id that names no object: the camera looks at the origin.
    const SceneObject* target = findObject(currentCamera->targetId);
    const Vec3 centre = target ? target->position() : Vec3();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);

    // Every scene numbers its lights from 0, so scenes share the OpenGL
    // lights: the colours go out again with the positions, or a scene would
    // be lit in the colours of the scene loaded last.
    for (SceneObject* o = lights; o; o = o->next) {
        auto* light = static_cast<LightObject*>(o);
        if (!light->hasGlLight()) continue;
        if (light->enabled) glEnable(GL_LIGHT0 + light->lightNumber);
        light->sendColours();
        const Vec3& p = light->position();
        const GLfloat position[4] = {p.x, p.y, p.z, 1.0f};
        glLightfv(GL_LIGHT0 + light->lightNumber, GL_POSITION, position);
    }

    objects->draw();
    glDisable(GL_LIGHTING);
}
