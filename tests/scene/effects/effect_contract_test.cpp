// Every effect of the demo's start-up, built from the packed archive, held to
// the GL state the effect contract (runtime/effect.h) promises: each prepare, run
// and post, with the effects' sources set so that the capturing ones capture,
// leaves the state as the frame gave it.
#include "app/demo_effects.h"
#include "app/demo_gl_state.h"
#include "runtime/startup_files.h"
#include "tests/scene/effects/startup_archive_fixture.h"

#include <array>
#include <sstream>
#include <string>

namespace vantor::test {
namespace {

using Matrix = std::array<GLfloat, 16>;

Matrix matrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

bool enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

GLint integer(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// The frame's state as the contract gives it to every effect.
void enterContractState(const Matrix& projection) {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_1D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// What differs from the contract's state, one item a line; empty when nothing.
std::string contractBreaches(const Matrix& projection, GLint projectionDepth, GLint modelviewDepth) {
    std::ostringstream out;
    const auto expect = [&](bool ok, const char* what) {
        if (!ok) out << what << "; ";
    };
    expect(integer(GL_MATRIX_MODE) == GL_MODELVIEW, "modelview not selected");
    expect(integer(GL_PROJECTION_STACK_DEPTH) == projectionDepth, "projection stack depth changed");
    expect(integer(GL_MODELVIEW_STACK_DEPTH) == modelviewDepth, "modelview stack depth changed");
    expect(matrix(GL_PROJECTION_MATRIX) == projection, "projection matrix changed");
    const Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expect(matrix(GL_MODELVIEW_MATRIX) == identity, "modelview matrix changed");
    expect(enabled(GL_DEPTH_TEST), "depth test off");
    expect(integer(GL_DEPTH_FUNC) == GL_LEQUAL, "depth function changed");
    expect(integer(GL_DEPTH_WRITEMASK) == GL_TRUE, "depth writes off");
    expect(!enabled(GL_BLEND), "blending on");
    expect(!enabled(GL_LIGHTING), "lighting on");
    expect(!enabled(GL_ALPHA_TEST), "alpha test on");
    expect(!enabled(GL_SCISSOR_TEST), "scissor test on");
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    expect(mask[0] && mask[1] && mask[2] && mask[3], "a colour channel masked");
    expect(integer(GL_ACTIVE_TEXTURE_ARB) == GL_TEXTURE0_ARB, "texture unit 0 not selected");
    glActiveTextureARB(GL_TEXTURE1_ARB);
    expect(!enabled(GL_TEXTURE_2D), "2D texturing on unit 1");
    glActiveTextureARB(GL_TEXTURE0_ARB);
    expect(!enabled(GL_TEXTURE_2D), "2D texturing on unit 0");
    expect(!enabled(GL_TEXTURE_1D), "1D texturing on unit 0");
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    expect(env == GL_MODULATE, "unit 0 environment not GL_MODULATE");
    expect(glGetError() == GL_NO_ERROR, "a GL error");
    return out.str();
}

using EffectContractTest = StartupArchiveTest;

TEST_F(EffectContractTest, EveryEffectLeavesTheStateItFound) {
    setInitialGlState();
    DemoEffects effects(table, images, target, kDemoFiles);
    setDemoProjection(kWidth, kHeight);
    const Matrix projection = matrix(GL_PROJECTION_MATRIX);
    const GLint projectionDepth = integer(GL_PROJECTION_STACK_DEPTH);
    const GLint modelviewDepth = integer(GL_MODELVIEW_STACK_DEPTH);

    // Sources and targets for the effects that take them (a scene into the
    // captures and the visor, a picture as the wipe's target), and the
    // signals that make the flash and the fade draw; every other effect
    // ignores these codes.
    const SignalValue setUp[] = {SignalValue(70, DemoEffects::kVantor2SceneId),
                                 SignalValue(71, DemoEffects::kSecondPictureId), SignalValue(1, 0),
                                 SignalValue(6, 2000)};
    int checked = 0;
    for (int id = 0; id < EffectTable::kSlots; ++id) {
        Effect* effect = table.get(id);
        if (!effect) continue;
        SCOPED_TRACE("effect " + std::to_string(id));
        for (const SignalValue& value : setUp) effect->signal(value);
        effect->init(0);
        effect->start();
        for (int time : {1000, 30000}) {
            const std::pair<const char*, void (*)(Effect&, int)> calls[] = {
                {"prepare", [](Effect& e, int t) { e.prepare(t); }},
                {"run", [](Effect& e, int t) { e.run(t); }},
                {"post", [](Effect& e, int) { e.post(); }}};
            for (const auto& [name, call] : calls) {
                enterContractState(projection);
                call(*effect, time);
                // The one exception the contract names.
                if (effect == &effects.scratch) glEnable(GL_DEPTH_TEST);
                EXPECT_EQ(contractBreaches(projection, projectionDepth, modelviewDepth), "") << name << " at " << time;
            }
        }
        effect->stop();
        ++checked;
    }
    EXPECT_EQ(checked, 27);
}

}  // namespace
}  // namespace vantor::test
