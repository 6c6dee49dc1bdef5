#include "app/author/overlay.h"

#include "app/author/overlay_font.h"
#include "app/author/overlay_text.h"
#include "platform/gl_api.h"

#include <algorithm>
#include <vector>

namespace {

struct Colour {
    float r, g, b, a;
};

// The demo's palette: deep background for the panels, the cool light for the
// time, the warm accent for a pause and for warnings, the hot accent for loops
// and errors.
constexpr Colour kPanel{0.020f, 0.027f, 0.059f, 0.80f};
constexpr Colour kErrorPanel{0.110f, 0.016f, 0.055f, 0.88f};
constexpr Colour kCoolLight{0.243f, 0.878f, 1.0f, 1.0f};
constexpr Colour kHotAccent{1.0f, 0.243f, 0.647f, 1.0f};
constexpr Colour kWarmAccent{1.0f, 0.702f, 0.278f, 1.0f};
constexpr Colour kChrome{0.910f, 0.941f, 1.0f, 1.0f};
constexpr Colour kLabel{0.600f, 0.650f, 0.780f, 1.0f};

constexpr int kMargin = 8;
constexpr int kPadding = 7;
constexpr int kMaxEffectLines = 14;
constexpr int kMaxErrorLines = 8;

Colour inkColour(OverlayInk ink) {
    switch (ink) {
    case OverlayInk::Label: return kLabel;
    case OverlayInk::Value: return kChrome;
    case OverlayInk::Time: return kCoolLight;
    case OverlayInk::Pause: return kWarmAccent;
    case OverlayInk::Loop: return kHotAccent;
    case OverlayInk::Error: return kChrome;
    case OverlayInk::Warning: return kWarmAccent;
    }
    return kChrome;
}

void setColour(const Colour& c) { glColor4f(c.r, c.g, c.b, c.a); }

void fillRect(int x, int y, int width, int height, const Colour& colour) {
    setColour(colour);
    glBegin(GL_QUADS);
    glVertex2i(x, y);
    glVertex2i(x + width, y);
    glVertex2i(x + width, y + height);
    glVertex2i(x, y + height);
    glEnd();
}

int powerOfTwo(int value) {
    int p = 1;
    while (p < value) p *= 2;
    return p;
}

}  // namespace

// Saves what the overlay changes, sets up flat drawing in show pixels (y
// down) with blending and no depth, and restores everything on destruction.
class Overlay::Frame {
public:
    Frame() {
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                     GL_TRANSFORM_BIT | GL_POLYGON_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        // Laid out in the pixels of the 640 x 480 show: a larger show (a
        // larger window, a 1080p capture) draws the overlay larger, so it
        // keeps its place and its share of the picture.
        const double scale = std::max(1.0, viewport[3] / 480.0);
        width = static_cast<int>(viewport[2] / scale + 0.5);
        height = static_cast<int>(viewport[3] / scale + 0.5);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, width, height, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_1D);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    ~Frame() {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopClientAttrib();
        glPopAttrib();
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    int width = 0;
    int height = 0;
};

Overlay::~Overlay() {
    if (texture_ != 0) glDeleteTextures(1, &texture_);
}

unsigned Overlay::fontTexture() {
    if (texture_ != 0) return texture_;
    const OverlayFont& font = kOverlayFont;
    textureWidth_ = powerOfTwo(font.atlasWidth);
    textureHeight_ = powerOfTwo(font.atlasHeight);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(textureWidth_) * textureHeight_, 0);
    for (int y = 0; y < font.atlasHeight; ++y)
        std::copy_n(font.coverage + static_cast<std::size_t>(y) * font.atlasWidth, font.atlasWidth,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * textureWidth_);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, textureWidth_, textureHeight_, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return texture_;
}

// One line of text from (x, y), the top left of its first cell; the colour is
// the current one.
void Overlay::drawText(const std::string& text, int x, int y) const {
    const OverlayFont& font = kOverlayFont;
    const float sx = 1.0f / static_cast<float>(textureWidth_);
    const float sy = 1.0f / static_cast<float>(textureHeight_);
    glBegin(GL_QUADS);
    for (char c : text) {
        if (c >= font.firstChar && c <= font.lastChar && c != ' ') {
            const int index = c - font.firstChar;
            const float u = static_cast<float>((index % font.columns) * font.cellWidth) * sx;
            const float v = static_cast<float>((index / font.columns) * font.cellHeight) * sy;
            const float du = static_cast<float>(font.cellWidth) * sx;
            const float dv = static_cast<float>(font.cellHeight) * sy;
            glTexCoord2f(u, v);
            glVertex2i(x, y);
            glTexCoord2f(u + du, v);
            glVertex2i(x + font.cellWidth, y);
            glTexCoord2f(u + du, v + dv);
            glVertex2i(x + font.cellWidth, y + font.cellHeight);
            glTexCoord2f(u, v + dv);
            glVertex2i(x, y + font.cellHeight);
        }
        x += font.cellWidth;
    }
    glEnd();
}

void Overlay::drawPanel(const OverlayState& state, int width, int height) {
    const OverlayFont& font = kOverlayFont;
    const int lineHeight = font.cellHeight + 2;
    // Leave room for the error box below, and never run off the frame.
    const int roomForLines = std::max((height - 2 * kMargin - 2 * kPadding) / lineHeight, 1);
    std::vector<OverlayLine> lines = overlayPanelLines(state, kMaxEffectLines);
    if (static_cast<int>(lines.size()) > roomForLines) lines.resize(static_cast<std::size_t>(roomForLines));
    int columns = 0;
    for (const OverlayLine& line : lines) columns = std::max(columns, line.columns());
    const int panelWidth = std::min(columns * font.cellWidth + 2 * kPadding + 3, width - 2 * kMargin);
    const int panelHeight = static_cast<int>(lines.size()) * lineHeight + 2 * kPadding - 2;

    fillRect(kMargin, kMargin, panelWidth, panelHeight, kPanel);
    fillRect(kMargin, kMargin, 3, panelHeight, state.paused ? kWarmAccent : kCoolLight);

    // The play or pause sign in the first two cells of the first line.
    const int signX = kMargin + 3 + kPadding;
    const int signY = kMargin + kPadding + 2;
    const int signSize = font.cellHeight - 5;
    if (state.paused) {
        fillRect(signX, signY, signSize / 3, signSize, kWarmAccent);
        fillRect(signX + signSize - signSize / 3, signY, signSize / 3, signSize, kWarmAccent);
    } else {
        setColour(kCoolLight);
        glBegin(GL_TRIANGLES);
        glVertex2i(signX, signY);
        glVertex2i(signX + signSize - 1, signY + signSize / 2);
        glVertex2i(signX, signY + signSize);
        glEnd();
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontTexture());
    int y = kMargin + kPadding;
    for (const OverlayLine& line : lines) {
        int x = kMargin + 3 + kPadding;
        for (const OverlaySpan& span : line.spans) {
            setColour(inkColour(span.ink));
            drawText(span.text, x, y);
            x += static_cast<int>(span.text.size()) * font.cellWidth;
        }
        y += lineHeight;
    }
    glDisable(GL_TEXTURE_2D);
}

void Overlay::drawErrorBox(const std::string& error, int width, int height) {
    const OverlayFont& font = kOverlayFont;
    const int lineHeight = font.cellHeight + 2;
    const int boxWidth = width - 2 * kMargin;
    const int columns = (boxWidth - 2 * kPadding - 3) / font.cellWidth;
    const std::vector<OverlayLine> lines = errorBoxLines(error, columns, kMaxErrorLines);
    const int boxHeight = static_cast<int>(lines.size()) * lineHeight + 2 * kPadding - 2;
    const int top = height - kMargin - boxHeight;

    fillRect(kMargin, top, boxWidth, boxHeight, kErrorPanel);
    fillRect(kMargin, top, boxWidth, 2, kHotAccent);
    fillRect(kMargin, top, 3, boxHeight, kHotAccent);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontTexture());
    int y = top + kPadding;
    for (const OverlayLine& line : lines) {
        const OverlaySpan& span = line.spans.front();
        setColour(inkColour(span.ink));
        drawText(span.text, kMargin + 3 + kPadding, y);
        y += lineHeight;
    }
    glDisable(GL_TEXTURE_2D);
}

void Overlay::draw(const OverlayState& state) {
    Frame frame;
    drawPanel(state, frame.width, frame.height);
    const std::string box = errorBoxText(state.error, state.findings);
    if (!box.empty()) drawErrorBox(box, frame.width, frame.height);
}

void Overlay::drawError(const std::string& error) {
    if (error.empty()) return;
    Frame frame;
    drawErrorBox(error, frame.width, frame.height);
}
