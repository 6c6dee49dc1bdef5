// A frame target without a window: the frame loop draws into an offscreen GL
// context of any size with the window's capabilities, and the frame stays in
// the colour buffer after swapBuffers for the caller to read back.
//
// The show keeps its 4:3 shape at any size (ShowFrame): a 16:9 buffer holds
// it between black bars. There is no display mode to switch and nothing to
// show; the GL state and the projection are the window's.
#pragma once

#include "app/frame_target.h"
#include "app/show_frame.h"
#include "platform/offscreen_gl.h"

class OffscreenTarget : public FrameTarget {
public:
    // Sets the window's initial GL state and projection on gl (made current).
    explicit OffscreenTarget(vantor::platform::OffscreenGL& gl);

    void clearFrame() override;
    // Puts the show between its bars; the drawing is finished and stays
    // readable.
    void swapBuffers() override;
    void resize(int width, int height) override;
    void toggleFullscreen() override {}

    vantor::platform::OffscreenGL& gl() { return gl_; }
    const ShowFrame& show() const { return show_; }

private:
    vantor::platform::OffscreenGL& gl_;
    ShowFrame show_;
};
