// One OpenGL texture name and its life: a GlTexture deletes its texture when
// it is destroyed or given another, so textures made again and again (a layer
// changing its picture, a scene texture uploaded anew) do not pile up in the
// driver.
#pragma once

#include "platform/gl_api.h"

class GlTexture {
public:
    GlTexture() = default;
    ~GlTexture() { release(); }
    GlTexture(GlTexture&& other) noexcept : name_(other.name_) { other.name_ = 0; }
    GlTexture& operator=(GlTexture&& other) noexcept {
        if (this != &other) {
            release();
            name_ = other.name_;
            other.name_ = 0;
        }
        return *this;
    }
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;

    // A new texture name (no image yet).
    static GlTexture generate() {
        GlTexture texture;
        glGenTextures(1, &texture.name_);
        return texture;
    }

    GLuint name() const { return name_; }
    explicit operator bool() const { return name_ != 0; }

private:
    void release() {
        if (name_) glDeleteTextures(1, &name_);
        name_ = 0;
    }

    GLuint name_ = 0;
};

// An empty 2D texture to draw or copy into, with sides the powers of two from
// 8 at or above width x height: every byte of the width x height block is 127
// (mid grey until something is drawn into it), the rest 0; filters linear.
// Bound on the active texture unit on return, so the caller may change its
// parameters. A side beyond 1024 ends the program with "effect too large".
struct RenderTexture {
    GlTexture texture;
    int width = 0;  // the texture's sides
    int height = 0;
};
RenderTexture makeRenderTexture(int width, int height);
