// A window with an OpenGL compatibility context, on SDL2: the stand-in for a
// window class, display-mode change, window, pixel format and rendering context.
//
// The framebuffer is double-buffered RGBA with an alpha channel, at least 16
// depth bits and 8 stencil bits. Full screen is either the desktop's own mode
// (the window covers the display, no mode change) or a real display-mode
// change to the window's size. A window is resizable. Switching between full
// screen and a window keeps the context, so GL objects made before the switch
// (textures above all) stay valid. The pointer is hidden in full screen.
#pragma once

#include <string>

struct SDL_Window;

namespace vantor::platform {

class GlWindow {
public:
    // What open() achieved; each failure names the step that failed.
    enum class OpenResult { Ok, NoVideo, NoWindow, NoPixelFormat, NoContext, NotCurrent };

    struct FramebufferBits {
        int red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0;
        bool doubleBuffered = false;
    };

    GlWindow() = default;
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // Starts the video subsystem (once per object). False when there is no display.
    bool initVideo();

    // How the window covers the display.
    enum class Fullscreen { Off, Desktop, ModeChange };

    // Whether the display offers a full-screen mode of exactly this size with at
    // least `bits` bits per pixel (32 means 8 bits a channel). Needs initVideo.
    bool fullscreenModeAvailable(int width, int height, int bits) const;

    // Creates the window (client size width x height when windowed or in the
    // mode of that size; the display's size at the desktop's mode) and its
    // context, and makes the context current.
    OpenResult open(const std::string& title, int width, int height, Fullscreen fullscreen);

    // Switches this window into full screen of the given kind or (Off) back to
    // a window of the size it was opened with. The context is kept. False when
    // the switch failed.
    bool setFullscreen(Fullscreen kind);

    // Makes no context current and deletes the context. False when the context
    // could not be made not-current (it is deleted anyway).
    bool releaseContext();
    void destroyWindow();
    // Stops the video subsystem when initVideo started it.
    void quitVideo();

    void swapBuffers();
    bool hasWindow() const { return window_ != nullptr; }
    bool hasContext() const { return context_ != nullptr; }
    bool isFullscreen() const;

    // Whether the mouse pointer is shown (it is hidden in full screen).
    static bool pointerShown();

    // The current context's bit depths, as the driver reports them.
    FramebufferBits framebufferBits() const;

    // The size of the drawable area in pixels.
    void drawableSize(int& width, int& height) const;

    // Address of a GL entry point of the current context, or null.
    static void* procAddress(const char* name);

    // The reason of the last failure, from SDL.
    static std::string lastError();

private:
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vantor::platform
