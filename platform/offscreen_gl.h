// A GL compatibility context without a window, for tests and for tools that
// render (scene previews, offline capture). It offers what the demo window
// offers: RGBA with alpha, at least 16 depth bits, 8 stencil bits, and the
// multitexture entry points loaded.
//
// Mesa's surfaceless EGL platform is tried first, then the EGL device platform
// (the path a headless GPU driver takes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor::platform {

class OffscreenGL {
public:
    // Creates the context and makes it current. On failure returns null and
    // describes the reason in *error (when given).
    static std::unique_ptr<OffscreenGL> create(int width, int height, std::string* error = nullptr);
    ~OffscreenGL();

    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Makes this context current again (after another one was used).
    bool makeCurrent();

    // The colour buffer as RGBA bytes, top row first (the order images use).
    std::vector<std::uint8_t> readPixels() const;
    // The same into rgba, whose storage is used again when it is large
    // enough (a caller reading every frame allocates once).
    void readPixels(std::vector<std::uint8_t>& rgba) const;

private:
    OffscreenGL() = default;
    struct Egl;
    std::unique_ptr<Egl> egl_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vantor::platform
