// The show's 4:3 picture inside an output of any size.
//
// The show is drawn at the output's resolution in its own shape: the largest
// 4:3 rectangle that fits, centred, with black bars on the two sides that are
// too long (1920 x 1080 holds a 1440 x 1080 show between two 240-pixel bars;
// a portrait output gets bars top and bottom).
//
// When the output is not exactly 4:3, ShowFrame draws the show into a frame
// buffer of its own, of the show's size, and copies it into the output between
// the bars. Inside that buffer the show starts at (0, 0) and the viewport is
// the whole show, as in a 640 x 480 window: every effect that takes the
// screen's size from the viewport and every capture drawn in the bottom-left
// corner works unchanged, and nothing an effect draws or clears reaches the
// bars. A 4:3 output (640 x 480, 1440 x 1080) is drawn straight into, with no
// copy. A context without framebuffer objects draws straight into the output
// with the viewport on the show's rectangle.
#pragma once

// Where the show lies in the output, in pixels from the bottom left.
struct ShowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ShowRect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

// The largest 4:3 rectangle in an output of width x height, centred; at least
// 1 x 1 (sizes below 1 count as 1).
ShowRect showRectIn(int outputWidth, int outputHeight);

class ShowFrame {
public:
    ShowFrame() = default;
    ~ShowFrame();
    ShowFrame(const ShowFrame&) = delete;
    ShowFrame& operator=(const ShowFrame&) = delete;

    // The output (window client area or offscreen buffer) is now width x
    // height: the show's rectangle follows, its frame buffer is made anew when
    // needed, and the viewport and projection are set for drawing the show.
    // Needs the context current.
    void resize(int outputWidth, int outputHeight);

    // Makes the show's frame buffer the drawing target and clears it.
    void beginFrame();
    // Puts the finished show into the output between black bars. Afterwards
    // the output is the drawing target with the viewport on the show's
    // rectangle, so what is drawn over the finished frame (the capture's
    // overlay) lands on the show.
    void present();

    // Deletes the show's frame buffer (before the context goes); the next
    // resize makes it again.
    void releaseFramebuffer();

    ShowRect rect() const { return rect_; }
    int outputWidth() const { return outputWidth_; }
    int outputHeight() const { return outputHeight_; }
    // Whether the show is drawn into a frame buffer of its own.
    bool ownFramebuffer() const { return framebuffer_ != 0; }

private:
    bool makeFramebuffer(int width, int height);

    ShowRect rect_;
    int outputWidth_ = 0;
    int outputHeight_ = 0;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depthStencil_ = 0;
};
