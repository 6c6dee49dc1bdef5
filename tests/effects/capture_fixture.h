// What the capture effects' GL tests share: a source effect that paints the
// current viewport in a known way, a table of the test's own with the source
// in one of its slots, and a record of the polygons an effect sends to GL
// (feedback mode), with their colours and texture coordinates.
#pragma once

#include "runtime/effect_table.h"
#include "platform/gl_api.h"
#include "tests/effects/layer_fixture.h"

#include <functional>
#include <vector>

namespace vantor::test {

// Paints the whole current viewport from its own orthographic projection:
// flat in its colour, or with a ramp from black at the left (or bottom) to
// its colour at the right (or top). Counts its runs.
class PaintSource : public Effect {
public:
    enum class Kind { Flat, RampRight, RampUp };

    explicit PaintSource(float r = 1, float g = 1, float b = 1) : red(r), green(g), blue(b) {}

    void init(int) override {}
    void post() override {}
    void signal(SignalValue) override {}
    void run(int) override {
        ++runs;
        if (hidden) return;
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        glBegin(GL_QUADS);
        for (const auto& c : corners) {
            float v = kind == Kind::RampRight ? c[0] : c[1];
            if (kind == Kind::Flat) v = 1;
            glColor4f(v * red, v * green, v * blue, 1);
            glVertex2f(c[0], c[1]);
        }
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glColor4f(1, 1, 1, 1);
    }

    Kind kind = Kind::Flat;
    float red, green, blue;
    bool hidden = false;  // runs, but draws nothing
    int runs = 0;
};

// One polygon as GL received it: window coordinates, colour and texture
// coordinates of each vertex (after clipping).
struct FeedbackVertex {
    float x, y, z;
    float color[4];
    float tex[4];
};
using FeedbackPolygon = std::vector<FeedbackVertex>;

inline std::vector<FeedbackPolygon> recordPolygons(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const int count = static_cast<int>(buffer[i++]);
            FeedbackPolygon polygon;
            for (int v = 0; v < count; ++v, i += 11) {
                FeedbackVertex vertex{};
                vertex.x = buffer[i];
                vertex.y = buffer[i + 1];
                vertex.z = buffer[i + 2];
                for (int k = 0; k < 4; ++k) vertex.color[k] = buffer[i + 3 + k];
                for (int k = 0; k < 4; ++k) vertex.tex[k] = buffer[i + 7 + k];
                polygon.push_back(vertex);
            }
            polygons.push_back(polygon);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return polygons;
}

class CaptureTest : public LayerTest {
protected:
    static constexpr int kSourceId = 3;
    static constexpr int kEmptyId = 4;

    void SetUp() override {
        LayerTest::SetUp();
        table.set(kSourceId, &source);
    }

    // One frame of the table's passes for one effect: prepare, run, post.
    static void frameOf(Effect& effect, int time) {
        effect.prepare(time);
        effect.run(time);
        effect.post();
    }

    PaintSource source;
    // The test's own table: the source in its slot, and whatever the test adds.
    EffectTable table;
};

}  // namespace vantor::test
