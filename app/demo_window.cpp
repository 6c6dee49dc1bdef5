#include "app/demo_window.h"

#include "app/demo_gl_state.h"
#include "runtime/fatal_error.h"
#include "platform/gl_api.h"
#include "platform/message_box.h"

#include <algorithm>
#include <cstdio>

using vantor::platform::BoxIcon;
using vantor::platform::GlWindow;
using vantor::platform::showMessageBox;

namespace {

constexpr const char* kErrorCaption = "error";
constexpr const char* kShutdownCaption = "shutdown error";
constexpr const char* kMultitextureCaption = "ouch";

constexpr const char* kInitFailed = "OpenGL init failed";
constexpr const char* kToggleFailed = "could not change to/from fullscreen";
constexpr const char* kNoVideo = "could not register window class";
constexpr const char* kModeRefused = "requested fullscreen mode not supported, run window?";
constexpr const char* kProgramCloses = "program closes";
constexpr const char* kNoWindow = "window creation error";
constexpr const char* kNoPixelFormat = "can't find a suitable pixel format";
constexpr const char* kNoContext = "can't create GL rendering context";
constexpr const char* kNotCurrent = "can't active rendering context";
constexpr const char* kReleaseFailed = "release of DC and RC failed";
constexpr const char* kNoMultitexture = "multitexture not supported on this computer";

constexpr const char* kMultitextureExtension = "GL_ARB_multitexture";
constexpr int kRequiredTextureUnits = 2;

}  // namespace

DemoWindow::DemoWindow(ScreenMode mode, const char* title, int width, int height)
    : mode_(mode), title_(title), width_(width), height_(height) {
    if (!create(title, width, height, kBitsPerPixel, mode != ScreenMode::Window)) fatalError(kInitFailed, -1);
}

DemoWindow::DemoWindow(bool fullscreenWanted, const char* title, int width, int height)
    : mode_(ScreenMode::ModeChange), title_(title), width_(width), height_(height) {
    if (!create(title, width, height, kBitsPerPixel, fullscreenWanted)) fatalError(kInitFailed, -1);
}

GlWindow::Fullscreen DemoWindow::fullscreenKind() const {
    return mode_ == ScreenMode::ModeChange ? GlWindow::Fullscreen::ModeChange : GlWindow::Fullscreen::Desktop;
}

void DemoWindow::followDrawable() {
    int w = 0, h = 0;
    window_.drawableSize(w, h);
    if (w <= 0 || h <= 0) {
        w = width_;
        h = height_;
    }
    resize(w, h);
}

DemoWindow::~DemoWindow() { release(); }

bool DemoWindow::acceptWindowInstead() {
    if (vantor::platform::askYesNo(kErrorCaption, kModeRefused)) return true;
    showMessageBox(kErrorCaption, kProgramCloses, BoxIcon::Warning);
    return false;
}

bool DemoWindow::create(const char* title, int width, int height, int bits, bool fullscreenWanted) {
    title_ = title;
    width_ = width;
    height_ = height;
    if (!window_.initVideo()) {
        showMessageBox(kErrorCaption, kNoVideo, BoxIcon::Information);
        std::fprintf(stderr, "  (%s)\n", GlWindow::lastError().c_str());
        return false;
    }
    const bool modeChange = fullscreenKind() == GlWindow::Fullscreen::ModeChange;
    if (fullscreenWanted && modeChange && !window_.fullscreenModeAvailable(width, height, bits)) {
        if (!acceptWindowInstead()) return false;
        fullscreenWanted = false;
    }
    fullscreen_ = fullscreenWanted;

    const char* failure = nullptr;
    switch (window_.open(title, width, height, fullscreen_ ? fullscreenKind() : GlWindow::Fullscreen::Off)) {
    case GlWindow::OpenResult::Ok: break;
    case GlWindow::OpenResult::NoVideo:
    case GlWindow::OpenResult::NoWindow: failure = kNoWindow; break;
    case GlWindow::OpenResult::NoPixelFormat: failure = kNoPixelFormat; break;
    case GlWindow::OpenResult::NoContext: failure = kNoContext; break;
    case GlWindow::OpenResult::NotCurrent: failure = kNotCurrent; break;
    }
    if (failure) {
        const std::string reason = GlWindow::lastError();
        release();
        showMessageBox(kErrorCaption, failure, BoxIcon::Warning);
        if (!reason.empty()) std::fprintf(stderr, "  (%s)\n", reason.c_str());
        return false;
    }

    // A fatal error from here on gives the display its mode back first.
    setFatalErrorWindowRelease([this] { release(); });
    if (!setupGL()) {
        release();
        return false;
    }
    // The drawable may differ from the asked size: the desktop's mode in full
    // screen, or a window manager's choice.
    followDrawable();
    return true;
}

void DemoWindow::release() {
    setFatalErrorWindowRelease(nullptr);
    if (fullscreen_ && window_.hasWindow()) window_.setFullscreen(GlWindow::Fullscreen::Off);
    fullscreen_ = false;
    if (window_.hasContext()) show_.releaseFramebuffer();
    if (!window_.releaseContext()) showMessageBox(kShutdownCaption, kReleaseFailed, BoxIcon::Information);
    window_.destroyWindow();
    window_.quitVideo();
}

void DemoWindow::resize(int width, int height) { show_.resize(width, height); }

bool DemoWindow::setupGL() {
    setInitialGlState();
    // Optional: without them the show is drawn in its place in the window.
    vantor::gl::loadFramebufferObjects(&GlWindow::procAddress);

    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string list = extensions ? extensions : "";
    std::replace(list.begin(), list.end(), ' ', '\n');
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);

    const bool available = hasExtension(list, kMultitextureExtension) && units >= kRequiredTextureUnits &&
                           vantor::gl::loadMultitexture(&GlWindow::procAddress);
    if (!available) {
        showMessageBox(kMultitextureCaption, kNoMultitexture, BoxIcon::Error);
        return false;
    }
    return true;
}

void DemoWindow::toggleFullscreen() {
    const bool wanted = !fullscreen_;
    const GlWindow::Fullscreen kind = fullscreenKind();
    if (wanted && kind == GlWindow::Fullscreen::ModeChange &&
        !window_.fullscreenModeAvailable(width_, height_, kBitsPerPixel)) {
        // The mode is refused: as on start-up, the user may stay in the window.
        if (!acceptWindowInstead()) fatalError(kToggleFailed, -1);
        return;
    }
    if (!window_.setFullscreen(wanted ? kind : GlWindow::Fullscreen::Off)) fatalError(kToggleFailed, -1);
    fullscreen_ = wanted;
    followDrawable();
}

void DemoWindow::clearFrame() { show_.beginFrame(); }

void DemoWindow::swapBuffers() {
    show_.present();
    window_.swapBuffers();
}

bool DemoWindow::hasExtension(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t end = list.find('\n');
        if (list.substr(0, end) == name) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}
