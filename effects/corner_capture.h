// Render-to-texture by frame-buffer copy, as every capturing effect does it in
// prepare: draw into the bottom-left corner of the frame buffer, copy the
// corner into a texture and clear it again, so the frame's own drawing later
// starts on a clean buffer.
#pragma once

#include "platform/gl_api.h"

#include <functional>

// Whether the corner is fenced in by the scissor test while drawing (and so
// while clearing). Without it, the clear after a copy clears the whole frame
// buffer.
enum class CornerScissor { On, Off };

// Runs `draw` with the viewport (and, with CornerScissor::On, the scissor test)
// on the width x height corner at the bottom left; then the previous viewport
// comes back and the scissor test is off again, also when `draw` throws.
void drawInCorner(int width, int height, const std::function<void()>& draw, CornerScissor scissor = CornerScissor::On);

// Copies the width x height corner into `target` on the active unit, which
// becomes a width x height texture (2D texturing is left on, `target` bound),
// then clears colour and depth (within the scissor when it is on).
void copyCorner(int width, int height, GLuint target);

// Both: `draw` into the corner, then the corner into `target`.
void captureCorner(int width, int height, GLuint target, const std::function<void()>& draw,
                   CornerScissor scissor = CornerScissor::On);
