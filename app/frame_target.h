// What the frame loop draws into: the window's back buffer, its projection,
// and its display mode. DemoWindow is the real one; tests record the calls.
#pragma once

class FrameTarget {
public:
    virtual ~FrameTarget() = default;

    // Clears the colour, depth and stencil buffers for a new frame.
    virtual void clearFrame() = 0;
    // Shows the frame just drawn.
    virtual void swapBuffers() = 0;
    // The client area changed size: viewport and projection follow.
    virtual void resize(int width, int height) = 0;
    // Switches between full screen and a window.
    virtual void toggleFullscreen() = 0;

protected:
    FrameTarget() = default;
    FrameTarget(const FrameTarget&) = default;
    FrameTarget& operator=(const FrameTarget&) = default;
};
