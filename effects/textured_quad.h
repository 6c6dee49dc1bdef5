// One quad with the whole bound texture, in the current matrices: texture
// (0, 0) at (left, top), (1, 0) at (right, top), (1, 1) at (right, bottom),
// (0, 1) at (left, bottom). Layers, logos and the visor images draw with it.
#pragma once

void texturedQuad(float left, float top, float right, float bottom);
