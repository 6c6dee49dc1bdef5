// Shared set-up of the scene-effect tests: the scene fixture's GL context and
// shade ramp, with the temporary folder as working directory so that effects
// read "data/<scene>.ppp" and textures from "data/textures/" as the demo does.
#pragma once

#include "tests/scene/scene_fixture.h"

#include <string>

namespace vantor::test {

class SceneEffectTest : public SceneTest {
protected:
    void SetUp() override;

    // Writes the scene as "data/<name>" and returns that relative path.
    std::string saveScene(const SceneFileWriter& writer, const std::string& name);
    // Writes a 24-bit TGA of one colour below "data/textures/".
    void writeSceneTexture(const std::string& name, int width, int height, Rgb colour);

    // Red cube 1 at x = -3 seen by camera 5, green cube 2 at x = +3 seen by
    // camera 6, each in the middle of its view, and a white light 9; the
    // caller adds what else it needs and ends the file.
    static void writeTwoCubes(SceneFileWriter& w);

    static void clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // With VANTOR_TEST_FRAMES set, writes the current frame as <that folder>/<name>.png
    // for looking at; otherwise nothing.
    static void saveFrame(const std::string& name);
    static int brightness(int x, int y) {
        const auto p = pixel(x, y);
        return p[0] + p[1] + p[2];
    }
};

}  // namespace vantor::test
