// Shared set-up of the tests that build the demo's start-up as the demo does,
// from its packed archive: the offscreen GL context, the demo's build folder
// as the working directory, the archive opened with the demo's password, the
// image cache on the archive's image directory and an effect table of the
// test's own; all of it undone afterwards.
#pragma once

#include "app/demo_effects.h"
#include "runtime/effect_table.h"
#include "imglib/image_library.h"
#include "tests/support/gl_fixture.h"

#include <filesystem>

namespace vantor::test {

// A frame target that draws nowhere: the start-up's loading screen swaps into it.
class NullTarget : public FrameTarget {
public:
    void clearFrame() override {}
    void swapBuffers() override {}
    void resize(int, int) override {}
    void toggleFullscreen() override {}
};

class StartupArchiveTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The demo's projection for the offscreen frame, the modelview reset, and
    // the depth test with less-or-equal.
    static void demoProjection();

    ImageLibrary images;
    NullTarget target;
    EffectTable table;  // empty: the start-up registers its effects here

private:
    std::filesystem::path previous_;
};

}  // namespace vantor::test
