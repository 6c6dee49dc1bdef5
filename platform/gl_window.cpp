#include "platform/gl_window.h"

#include <SDL.h>

namespace vantor::platform {

namespace {

// The framebuffer every drawing part relies on: RGBA with destination alpha,
// depth and stencil, double-buffered, and the immediate-mode (compatibility)
// profile.
void requestFramebuffer() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool closestMode(int width, int height, SDL_DisplayMode& mode) {
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    return SDL_GetClosestDisplayMode(0, &wanted, &mode) != nullptr;
}

}  // namespace

GlWindow::~GlWindow() {
    releaseContext();
    destroyWindow();
    quitVideo();
}

bool GlWindow::initVideo() {
    if (videoStarted_) return true;
    // SDL turns Ctrl+C and SIGTERM into a quit event: the demo then ends in order.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted_ = true;
    return true;
}

bool GlWindow::fullscreenModeAvailable(int width, int height, int bits) const {
    SDL_DisplayMode mode{};
    if (!closestMode(width, height, mode)) return false;
    // A 32-bit mode reports 24 colour bits (8 a channel plus padding).
    const int colourBits = bits >= 32 ? 24 : bits;
    return mode.w == width && mode.h == height && static_cast<int>(SDL_BITSPERPIXEL(mode.format)) >= colourBits;
}

GlWindow::OpenResult GlWindow::open(const std::string& title, int width, int height, Fullscreen fullscreen) {
    if (!initVideo()) return OpenResult::NoVideo;
    width_ = width;
    height_ = height;

    requestFramebuffer();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (fullscreen == Fullscreen::Desktop) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (fullscreen == Fullscreen::ModeChange) flags |= SDL_WINDOW_FULLSCREEN;
    const int position = fullscreen == Fullscreen::Off ? SDL_WINDOWPOS_CENTERED : 0;
    // Covering the desktop, the window is born at the desktop's size, so its
    // drawable has that size from the first frame on.
    int createWidth = width, createHeight = height;
    SDL_DisplayMode desktop{};
    if (fullscreen == Fullscreen::Desktop && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 &&
        desktop.h > 0) {
        createWidth = desktop.w;
        createHeight = desktop.h;
    }
    window_ = SDL_CreateWindow(title.c_str(), position, position, createWidth, createHeight, flags);
    if (!window_) return OpenResult::NoWindow;
    if (fullscreen == Fullscreen::ModeChange) {
        SDL_DisplayMode mode{};
        if (closestMode(width, height, mode)) SDL_SetWindowDisplayMode(window_, &mode);
    }

    context_ = SDL_GL_CreateContext(window_);
    if (!context_) return OpenResult::NoContext;
    if (SDL_GL_MakeCurrent(window_, context_) != 0) return OpenResult::NotCurrent;

    const FramebufferBits bits = framebufferBits();
    if (bits.alpha < 1 || bits.depth < 16 || bits.stencil < 8 || !bits.doubleBuffered) return OpenResult::NoPixelFormat;

    // The demo draws as fast as the driver allows (may be refused; harmless).
    SDL_GL_SetSwapInterval(0);
    SDL_ShowCursor(fullscreen != Fullscreen::Off ? SDL_DISABLE : SDL_ENABLE);
    SDL_RaiseWindow(window_);
    return OpenResult::Ok;
}

bool GlWindow::setFullscreen(Fullscreen kind) {
    if (!window_) return false;
    if (kind == Fullscreen::Desktop) {
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
        SDL_ShowCursor(SDL_DISABLE);
    } else if (kind == Fullscreen::ModeChange) {
        SDL_DisplayMode mode{};
        if (!closestMode(width_, height_, mode)) return false;
        if (SDL_SetWindowDisplayMode(window_, &mode) != 0) return false;
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return false;
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
        SDL_SetWindowSize(window_, width_, height_);
        SDL_ShowCursor(SDL_ENABLE);
    }
    SDL_RaiseWindow(window_);
    return true;
}

bool GlWindow::isFullscreen() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0; }

bool GlWindow::releaseContext() {
    if (!context_) return true;
    const bool released = SDL_GL_MakeCurrent(window_, nullptr) == 0;
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
    return released;
}

void GlWindow::destroyWindow() {
    if (!window_) return;
    if (isFullscreen()) SDL_ShowCursor(SDL_ENABLE);
    SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void GlWindow::quitVideo() {
    if (!videoStarted_) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
}

void GlWindow::swapBuffers() {
    if (window_) SDL_GL_SwapWindow(window_);
}

GlWindow::FramebufferBits GlWindow::framebufferBits() const {
    FramebufferBits bits;
    int doubleBuffer = 0;
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &bits.red);
    SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &bits.green);
    SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &bits.blue);
    SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &bits.alpha);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &bits.depth);
    SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &bits.stencil);
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    bits.doubleBuffered = doubleBuffer != 0;
    return bits;
}

void GlWindow::drawableSize(int& width, int& height) const {
    width = 0;
    height = 0;
    if (window_) SDL_GL_GetDrawableSize(window_, &width, &height);
}

bool GlWindow::pointerShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

void* GlWindow::procAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

std::string GlWindow::lastError() { return SDL_GetError(); }

}  // namespace vantor::platform
