// SceneError ends through the program's one fatal-error path: with a sink
// installed (a tool's or a test's) the sound still goes silent first.
#include "scene/scene_error.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

TEST(SceneError, SilencesTheSoundBeforeAnInstalledSink) {
    bool soundOnAtTheSink = true;
    setFatalErrorSoundShutdown([&] { soundOnAtTheSink = false; });
    const FatalErrorSink previous = setFatalErrorSink([&](const std::string& text) { throw FatalError(text); });
    try {
        SceneError("scene: object 6 not found");
        FAIL() << "SceneError returned";
    } catch (const SceneErrorRaised& raised) {
        EXPECT_STREQ(raised.what(), "scene: object 6 not found");
    }
    setFatalErrorSink(previous);
    EXPECT_FALSE(soundOnAtTheSink);
}

}  // namespace
}  // namespace vantor::test
