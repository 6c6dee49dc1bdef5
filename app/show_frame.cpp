#include "app/show_frame.h"

#include "app/demo_gl_state.h"
#include "platform/gl_api.h"

#include <algorithm>

namespace gl = vantor::gl;

ShowRect showRectIn(int outputWidth, int outputHeight) {
    const long long w = std::max(outputWidth, 1);
    const long long h = std::max(outputHeight, 1);
    ShowRect rect;
    if (w * 3 >= h * 4) {
        // Wider than 4:3 (or exactly): full height, bars left and right.
        rect.height = static_cast<int>(h);
        rect.width = static_cast<int>(std::max<long long>((h * 4 + 1) / 3, 1));
        rect.width = std::min(rect.width, static_cast<int>(w));
    } else {
        // Taller: full width, bars top and bottom.
        rect.width = static_cast<int>(w);
        rect.height = static_cast<int>(std::max<long long>((w * 3 + 2) / 4, 1));
        rect.height = std::min(rect.height, static_cast<int>(h));
    }
    rect.x = static_cast<int>((w - rect.width) / 2);
    rect.y = static_cast<int>((h - rect.height) / 2);
    return rect;
}

ShowFrame::~ShowFrame() { releaseFramebuffer(); }

void ShowFrame::releaseFramebuffer() {
    if (!gl::framebufferObjectsLoaded()) return;
    if (framebuffer_) {
        gl::bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl::deleteFramebuffers(1, &framebuffer_);
    }
    if (colour_) gl::deleteRenderbuffers(1, &colour_);
    if (depthStencil_) gl::deleteRenderbuffers(1, &depthStencil_);
    framebuffer_ = colour_ = depthStencil_ = 0;
}

bool ShowFrame::makeFramebuffer(int width, int height) {
    if (!gl::framebufferObjectsLoaded()) return false;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width > largest || height > largest) return false;

    // RGBA with destination alpha (the wipe's map lives there), depth and
    // stencil: what the window's own frame buffer offers.
    gl::genRenderbuffers(1, &colour_);
    gl::bindRenderbuffer(GL_RENDERBUFFER, colour_);
    gl::renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl::genRenderbuffers(1, &depthStencil_);
    gl::bindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    gl::renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    gl::bindRenderbuffer(GL_RENDERBUFFER, 0);

    gl::genFramebuffers(1, &framebuffer_);
    gl::bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl::framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    gl::framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil_);
    const bool complete = gl::checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    // A refused size (out of memory) shows as an error or an incomplete buffer.
    const bool noError = glGetError() == GL_NO_ERROR;
    if (complete && noError) return true;
    releaseFramebuffer();
    return false;
}

void ShowFrame::resize(int outputWidth, int outputHeight) {
    outputWidth_ = std::max(outputWidth, 1);
    outputHeight_ = std::max(outputHeight, 1);
    const ShowRect wanted = showRectIn(outputWidth_, outputHeight_);
    const bool fills = wanted.width == outputWidth_ && wanted.height == outputHeight_;
    const bool sameBuffer = framebuffer_ && wanted.width == rect_.width && wanted.height == rect_.height;
    rect_ = wanted;
    if (fills) {
        releaseFramebuffer();
    } else if (!sameBuffer) {
        releaseFramebuffer();
        makeFramebuffer(rect_.width, rect_.height);
    }
    if (framebuffer_) gl::bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    setDemoProjection(rect_.width, rect_.height);
    // Without a buffer of its own the show is drawn in its place in the output.
    if (!framebuffer_) glViewport(rect_.x, rect_.y, rect_.width, rect_.height);
}

void ShowFrame::beginFrame() {
    if (framebuffer_) {
        gl::bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glViewport(0, 0, rect_.width, rect_.height);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void ShowFrame::present() {
    if (!framebuffer_) return;
    gl::bindFramebuffer(GL_FRAMEBUFFER, 0);
    // The bars: the whole output black, then the show over it, pixel for pixel.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 1);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    gl::bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    gl::blitFramebuffer(0, 0, rect_.width, rect_.height, rect_.x, rect_.y, rect_.x + rect_.width,
                        rect_.y + rect_.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl::bindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(rect_.x, rect_.y, rect_.width, rect_.height);
}
