// The frame target of the page: the canvas's WebGL 2 drawing buffer, drawn
// into through the GL layer. The page keeps the canvas in the show's 4:3
// shape and scales it to the window with black bars around it, so the show
// is drawn straight into the drawing buffer; ShowFrame still puts it between
// bars should the buffer be given another shape. The drawing buffer is kept
// after the swap (the browser shows it), so a frame can be read back.
#pragma once

#include "app/frame_target.h"
#include "app/show_frame.h"

#include <string>

class CanvasTarget : public FrameTarget {
public:
    // Starts WebGL 2 on the canvas (CSS selector) at width x height; then
    // ready() tells whether the browser gave a context, error() why not.
    CanvasTarget(const char* selector, int width, int height);

    bool ready() const { return ready_; }
    const std::string& error() const { return error_; }

    void clearFrame() override;
    // Puts the show between its bars and gives the drawing buffer alpha 1,
    // so the page shows the frame as the native window does.
    void swapBuffers() override;
    // The drawing buffer becomes width x height (at least 1 x 1).
    void resize(int width, int height) override;
    void toggleFullscreen() override;

    const ShowFrame& show() const { return show_; }
    // While on, every swap gives the browser its turn (the start-up's
    // loading-screen frames): the page shows the frame and handles its events.
    void setYieldAfterSwap(bool on) { yieldAfterSwap_ = on; }

private:
    std::string selector_;
    std::string error_;
    bool ready_ = false;
    bool yieldAfterSwap_ = false;
    ShowFrame show_;
};
