// The author overlay, drawn over the finished frame before it is shown: a
// translucent dark panel at the top left with the music time and bar:beat,
// the frame rate, pause and loop, the last event dispatched and the running
// effects; and, whenever there is one, the current error and the script
// checker's findings in a box along the bottom (also without the panel: author
// mode shows them until the next save).
//
// Drawing covers the whole viewport in window pixels, with the bitmap font of
// overlay_font.h. It leaves the GL state as the effects' contract (effect.h)
// has it: every attribute, matrix and pixel-store setting it touches is saved
// and restored. The font texture is made on the first draw and freed by the
// destructor, which must run while the same GL context is current.
#pragma once

#include "app/author/overlay_state.h"

#include <string>

class Overlay {
public:
    Overlay() = default;
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // The panel, and the error box when there is an error or a finding.
    void draw(const OverlayState& state);
    // Only the error box with that text (nothing when it is empty).
    void drawError(const std::string& error);

private:
    class Frame;
    void drawPanel(const OverlayState& state, int width, int height);
    void drawErrorBox(const std::string& error, int width, int height);
    void drawText(const std::string& text, int x, int y) const;
    unsigned fontTexture();

    unsigned texture_ = 0;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};
