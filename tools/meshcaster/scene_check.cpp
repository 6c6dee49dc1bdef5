#include "tools/meshcaster/scene_check.h"

#include "imglib/image_library.h"
#include "platform/offscreen_gl.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "scene/texture.h"

#include <memory>

bool checkScene(const std::string& path, const char* textureDirectory, std::string* message) {
    // The reader sends lights and textures to OpenGL, so it runs in a context
    // of its own, as the demo's does in its window's.
    std::string error;
    const std::unique_ptr<vantor::platform::OffscreenGL> gl = vantor::platform::OffscreenGL::create(64, 64, &error);
    if (!gl) {
        *message = "cannot create an offscreen GL context: " + error;
        return false;
    }
    ScopedSceneErrorCapture capture;
    ImageLibrary images;
    try {
        SceneFileReader reader;
        reader.setLoadTextures(textureDirectory != nullptr);
        const std::unique_ptr<Scene> scene(reader.load(path.c_str(), textureDirectory, &images));
    } catch (const SceneErrorRaised& raised) {
        *message = raised.what();
        while (!message->empty() && message->back() == '\n') message->pop_back();
        return false;
    }
    return true;
}
