// The demo's one window and its OpenGL context.
//
// The window has a double-buffered RGBA framebuffer (alpha channel, at least
// 16 depth and 8 stencil bits). By default it covers the display at the
// desktop's own mode, with no mode change; with ScreenMode::ModeChange it is
// full screen by a change to the 640 x 480 display mode when offered,
// otherwise (after asking) a window. Windows are resizable. At every size the
// show keeps its 4:3 shape between black bars (ShowFrame). setupGL sets the
// initial GL state and requires multitexture with at least two units; resize
// keeps a 45 degree perspective projection on the show.
//
// Switching between full screen and a window keeps the GL context, so every
// texture and other GL object the effects made stays valid.
#pragma once

#include "app/frame_target.h"
#include "app/show_frame.h"
#include "platform/gl_window.h"

#include <string>
#include <string_view>

class DemoWindow : public FrameTarget {
public:
    static constexpr int kBitsPerPixel = 32;

    // How the window starts and what Control+F1 switches between.
    enum class ScreenMode {
        // Full screen at the desktop's mode; Control+F1: a window and back.
        Desktop,
        // A window of the given size; Control+F1: full screen at the
        // desktop's mode and back.
        Window,
        // Full screen by a change to the display mode of the given size (a
        // window after the question when refused); Control+F1: a window and
        // back to that mode.
        ModeChange,
    };

    // Creates the window; ends the program with "OpenGL init failed" when that
    // fails (after the box that names the failed step).
    DemoWindow(ScreenMode mode, const char* title, int width, int height);
    // ModeChange, starting in full screen (true) or in the window (false).
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

    // The client area is width x height pixels: the show's 4:3 rectangle in
    // it, its viewport and projection (45 degree vertical field of view,
    // aspect 4:3, near 0.1, far 20000).
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
    ScreenMode screenMode() const { return mode_; }
    ShowFrame& show() { return show_; }
    vantor::platform::GlWindow& glWindow() { return window_; }

private:
    // The full-screen kind this window's mode switches to.
    vantor::platform::GlWindow::Fullscreen fullscreenKind() const;
    // The show follows the drawable's size now (after a switch).
    void followDrawable();

    // Asks whether to run in a window when the full-screen mode is refused.
    // True: go on in a window; false: the user declined ("program closes").
    static bool acceptWindowInstead();

    vantor::platform::GlWindow window_;
    ShowFrame show_;
    ScreenMode mode_ = ScreenMode::Desktop;
    bool fullscreen_ = false;
    std::string title_;
    int width_ = 0;
    int height_ = 0;
};
