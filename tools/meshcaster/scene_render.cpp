#include "tools/meshcaster/scene_render.h"

#include "imglib/image_library.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"
#include "tools/meshcaster/demo_frame.h"
#include "scene/metaball/metaball_object.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "libs/png/png_writer.h"
#include "tools/meshcaster/error_exit.h"
#include "libs/log/progress_log.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The object the metamove effect hangs its surface under.
constexpr int kMetaballCarrier = 6;

int fail(const std::string& text) {
    std::fprintf(stderr, "meshcaster: %s\n", text.c_str());
    return 1;
}

}  // namespace

int renderScene(const RenderOptions& options) {
    std::string error;
    const std::unique_ptr<vantor::platform::OffscreenGL> gl =
        vantor::platform::OffscreenGL::create(options.width, options.height, &error);
    if (!gl) return fail("cannot create an offscreen GL context: " + error);
    setFatalErrorSink(reportSceneErrorAndExit);

    vantor::log::setProgressQuiet(!options.verbose);

    // As the demo builds its scene effects: the image cache without a base
    // directory, texture base names under the texture directory.
    ImageLibrary images;
    SceneFileReader reader;
    std::unique_ptr<Scene> scene(reader.load(options.scene.c_str(), options.textures.c_str(), &images));
    // The metamove effect's surface, hung where the effect hangs it; the
    // scene owns it from here on.
    MetaballObject* metaballs = nullptr;
    if (options.metaballs) {
        SceneObject* carrier = scene->findObject(kMetaballCarrier);
        if (!carrier) {
            return fail(options.scene + ": no object with id " + std::to_string(kMetaballCarrier) +
                        " to carry the metaballs");
        }
        metaballs = new MetaballObject(images, options.textures.c_str());
        carrier->addChild(metaballs);
    }

    for (int id : options.celObjects) {
        SceneObject* object = scene->findObject(id);  // 0: the first root object
        if (!object) return fail(options.scene + ": no object with id " + std::to_string(id));
        object->setShading(ShadingMode::Cel);
    }
    if (options.noCulling) scene->setCulling(false);

    if (options.selectCamera) {
        bool found = false;
        for (SceneObject* c = scene->cameras; c; c = c->next) found = found || c->id == options.camera;
        if (!found) return fail(options.scene + ": no camera with id " + std::to_string(options.camera));
        scene->selectCamera(options.camera);
    }

    beginDemoFrame(options.width, options.height);

    scene->update(options.time);
    // The surface turns about its own axes as the metamove effect turns it.
    if (metaballs) metaballs->setEulerDegrees(options.time, 2 * options.time, 1.44f * options.time);
    scene->draw();
    glFinish();

    if (!writePng(options.output, options.width, options.height, gl->readPixels(), &error))
        return fail(options.output + ": " + error);
    return 0;
}
