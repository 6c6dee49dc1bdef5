#include "platform/offscreen_gl.h"

#include "platform/gl_api.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>

namespace vantor::platform {

struct OffscreenGL::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};

namespace {

void* eglLookup(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

// Mesa's surfaceless platform first; the device platform serves headless GPU drivers.
EGLDisplay openDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;

    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;

    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (!queryDevices) return EGL_NO_DISPLAY;
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (!queryDevices(8, devices, &count)) return EGL_NO_DISPLAY;
    for (EGLint i = 0; i < count; ++i) {
        display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
    }
    return EGL_NO_DISPLAY;
}

void fail(std::string* error, const char* what) {
    if (error)
        *error = std::string(what) + " (EGL error 0x" + [] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(eglGetError()));
            return std::string(hex);
        }() + ")";
}

}  // namespace

std::unique_ptr<OffscreenGL> OffscreenGL::create(int width, int height, std::string* error) {
    std::unique_ptr<OffscreenGL> gl(new OffscreenGL);
    gl->egl_ = std::make_unique<Egl>();
    gl->width_ = width;
    gl->height_ = height;
    Egl& e = *gl->egl_;

    e.display = openDisplay();
    if (e.display == EGL_NO_DISPLAY) {
        fail(error, "no EGL display (surfaceless or device)");
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        fail(error, "EGL cannot bind desktop OpenGL");
        return nullptr;
    }

    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    16,
                                    EGL_STENCIL_SIZE,
                                    8,
                                    EGL_NONE};
    EGLConfig config;
    EGLint configCount = 0;
    if (!eglChooseConfig(e.display, configAttribs, &config, 1, &configCount) || configCount < 1) {
        fail(error, "no EGL config with RGBA8, depth and stencil");
        return nullptr;
    }

    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    e.surface = eglCreatePbufferSurface(e.display, config, surfaceAttribs);
    if (e.surface == EGL_NO_SURFACE) {
        fail(error, "cannot create an EGL pbuffer");
        return nullptr;
    }

    // Immediate mode needs the compatibility profile.
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                     EGL_NONE};
    e.context = eglCreateContext(e.display, config, EGL_NO_CONTEXT, contextAttribs);
    if (e.context == EGL_NO_CONTEXT) {
        fail(error, "cannot create a compatibility GL context");
        return nullptr;
    }
    if (!gl->makeCurrent()) {
        fail(error, "cannot make the GL context current");
        return nullptr;
    }
    if (!vantor::gl::loadMultitexture(eglLookup)) {
        if (error) *error = "the GL context has no multitexture entry points";
        return nullptr;
    }
    // Optional: without them the show is drawn straight into the pbuffer.
    vantor::gl::loadFramebufferObjects(eglLookup);
    glViewport(0, 0, width, height);
    return gl;
}

OffscreenGL::~OffscreenGL() {
    if (!egl_ || egl_->display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl_->context != EGL_NO_CONTEXT) eglDestroyContext(egl_->display, egl_->context);
    if (egl_->surface != EGL_NO_SURFACE) eglDestroySurface(egl_->display, egl_->surface);
    eglTerminate(egl_->display);
}

bool OffscreenGL::makeCurrent() {
    return eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context) == EGL_TRUE;
}

std::vector<std::uint8_t> OffscreenGL::readPixels() const {
    std::vector<std::uint8_t> rgba;
    readPixels(rgba);
    return rgba;
}

void OffscreenGL::readPixels(std::vector<std::uint8_t>& rgba) const {
    const std::size_t row = static_cast<std::size_t>(width_) * 4;
    rgba.resize(row * height_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // GL reads bottom row first: swap the rows in place, the outer ones
    // first, so no second frame-sized buffer is needed.
    for (int y = 0; y < height_ / 2; ++y) {
        std::uint8_t* top = rgba.data() + row * y;
        std::swap_ranges(top, top + row, rgba.data() + row * (height_ - 1 - y));
    }
}

}  // namespace vantor::platform
