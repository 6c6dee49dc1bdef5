// Sends a batch of vertices to the browser with the program and uniforms of
// the current fixed-function state.
#pragma once

#include <vector>

#include "context.h"

namespace vantor::webgl {

// One vertex as immediate mode gives it: position, colour, normal and the
// texture coordinates of both units.
struct Vertex {
    float position[4];
    float color[4];
    float normal[3];
    float texCoord0[2];
    float texCoord1[2];
};

// mode is a primitive WebGL draws (GL_TRIANGLES, strips, fans, lines, points);
// quads and polygons are turned into those before.
void drawVertices(GLenum mode, const std::vector<Vertex>& vertices);

// Binds the browser texture behind the given target of the active unit, for a
// call that changes the texture.
GLuint bindForEdit(GLenum target);

}  // namespace vantor::webgl
