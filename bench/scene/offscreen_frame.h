// The offscreen GL context and per-frame 3D state the scene benches share:
// one 640 x 480 context for the whole run, and the perspective projection,
// viewport and depth test every scene frame starts from.
#pragma once

#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"
#include "scene/mesh_object.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace vantor::bench {

// The run's offscreen context, created on first use; a bench without one
// cannot measure anything, so it names itself and exits.
inline platform::OffscreenGL& offscreenContext(const char* benchName) {
    static std::unique_ptr<platform::OffscreenGL> gl = [benchName] {
        std::string error;
        auto created = platform::OffscreenGL::create(640, 480, &error);
        if (!created) {
            std::fprintf(stderr, "%s: no offscreen GL context: %s\n", benchName, error.c_str());
            std::exit(1);
        }
        return created;
    }();
    return *gl;
}

// Viewport, 45-degree perspective and depth test for a 640 x 480 scene frame.
inline void perspectiveFrameState() {
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 20000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

// The peer every scene bench compares with: a mesh's triangles sent in bare
// immediate mode, a normal and a position a vertex, nothing else.
inline void drawMeshBare(const MeshObject& mesh) {
    for (const Face& face : mesh.faces()) {
        glBegin(GL_TRIANGLES);
        for (const Vertex* v : face.vertices) {
            glNormal3f(v->normal.x, v->normal.y, v->normal.z);
            glVertex3f(v->position.x, v->position.y, v->position.z);
        }
        glEnd();
    }
}

}  // namespace vantor::bench
