// The demo's one window and its OpenGL context.
//
// The window is 640 x 480 with a double-buffered RGBA framebuffer (alpha
// channel, at least 16 depth and 8 stencil bits), full screen by a change of
// display mode when wanted and offered, otherwise (after asking) a window.
// setupGL sets the initial GL state and requires multitexture with at least
// two units; resize keeps a 45 degree perspective projection.
//
// Switching between full screen and a window changes the display mode of the
// same window and keeps the GL context, so every texture and other GL object
// the effects made stays valid.
#pragma once

#include "app/frame_target.h"
#include "platform/gl_window.h"

#include <string>
#include <string_view>

class DemoWindow : public FrameTarget {
public:
    static constexpr int kBitsPerPixel = 32;

    // Creates the window; ends the program with "OpenGL init failed" when that
    // fails (after the box that names the failed step).
    DemoWindow(bool fullscreenWanted, const char* title, int width, int height);
    ~DemoWindow() override;
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Window, context and initial GL state. False after a box that says why.
    bool create(const char* title, int width, int height, int bits, bool fullscreenWanted);
    // Undoes create; problems are reported in "shutdown error" boxes and do not
    // stop the release. A fatal error while the window is open releases it
    // before its box (setFatalErrorWindowRelease).
    void release();

    // Viewport and projection: 45 degree vertical field of view, aspect
    // width / height (a height of 0 counts as 1), near 0.1, far 20000.
    void resize(int width, int height) override;
    // Initial GL state and the multitexture entry points.
    bool setupGL();
    // Into or out of full screen; the context is kept. A switch that fails ends
    // the program with "could not change to/from fullscreen".
    void toggleFullscreen() override;

    void clearFrame() override;
    void swapBuffers() override;

    // True when a line of the line-feed separated list equals name exactly.
    static bool hasExtension(std::string_view list, std::string_view name);

    bool fullscreen() const { return fullscreen_; }
    vantor::platform::GlWindow& glWindow() { return window_; }

private:
    // Asks whether to run in a window when the full-screen mode is refused.
    // True: go on in a window; false: the user declined ("program closes").
    static bool acceptWindowInstead();

    vantor::platform::GlWindow window_;
    bool fullscreen_ = false;
    std::string title_;
    int width_ = 0;
    int height_ = 0;
};
