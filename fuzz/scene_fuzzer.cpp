// Fuzzes the scene reader the demo uses: every input is a ".ppp" file, loaded
// with SceneFileReader in an offscreen GL context, textures and all, then
// animated and drawn once. The texture folder holds one small image per
// reader ("a.tga", "b.pcx", "c.jpg"; the dictionary names them) so material
// chunks reach texture loading. A scene error ends in the scene library's
// sink, which throws here.
#include "fuzz/fuzz_input.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kSide = 64;

// The texture folder, written once per process.
std::string makeTextures() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/vantor-fuzz-textures-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    kpximage* img = kpx_create(16, 8, 24, 0);
    for (std::size_t i = 0; i < kpx_image_size(img); ++i) img->image[i] = static_cast<unsigned char>(i * 7);
    const std::string tga = dir + "/a.tga", pcx = dir + "/b.pcx", jpg = dir + "/c.jpg";
    if (!kpx_save_tga(tga.c_str(), img, 1) || !kpx_save_pcx(pcx.c_str(), img)) std::abort();
    kpx_save_jpg(jpg.c_str(), img);
    kpx_free(img);
    static std::string removeDir = dir;
    std::atexit([] {
        for (const char* name : {"/a.tga", "/b.pcx", "/c.jpg"}) unlink((removeDir + name).c_str());
        rmdir(removeDir.c_str());
    });
    return dir + "/";
}

vantor::platform::OffscreenGL& context() {
    static std::unique_ptr<vantor::platform::OffscreenGL> gl = [] {
        std::string error;
        auto created = vantor::platform::OffscreenGL::create(kSide, kSide, &error);
        if (!created) {
            std::fprintf(stderr, "scene_fuzzer: no offscreen GL context: %s\n", error.c_str());
            std::abort();
        }
        return created;
    }();
    return *gl;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string textures = makeTextures();
    context();
    kpx_verbose_off();
    const std::string& path = vantor::fuzz::writeInput(data, size, "ppp");
    ScopedSceneErrorCapture capture;
    ImageLibrary images;
    try {
        SceneFileReader reader;
        std::unique_ptr<Scene> scene(reader.load(path.c_str(), textures.c_str(), &images));
        for (float time : {0.0f, 37.5f, 5000.0f}) scene->update(time);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 0.1, 20000.0);
        glMatrixMode(GL_MODELVIEW);
        scene->draw();
    } catch (const SceneErrorRaised&) {}
    return 0;
}
