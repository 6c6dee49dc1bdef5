// Frame cost of every 2D effect alone at 640 x 480 in the offscreen context:
// clear, prepare + run + post, glFinish, timed frame by frame; the median of
// many frames is reported next to the peer, one full-screen textured quad of
// a 640 x 480 texture (no upload), and the ratio of the two.
//
// The images the effects load are made here, at the sizes the demo's files
// have, in a scratch folder read through the image cache. Capture effects get
// the particle cloud at id 3 as their source (an effect that draws in run,
// which is all a capture sees); the wipe blends a full-screen image sequence
// at id 4 over it.
//
//   effects_bench [--frames N] [--only NAME]
#include "runtime/effect_table.h"
#include "runtime/registered_effect.h"
#include "effects/add_capture_effect.h"
#include "effects/horizon_scroll_effect.h"
#include "effects/image_sequence_effect.h"
#include "effects/logo_effect.h"
#include "effects/mosaic_glow_effect.h"
#include "effects/nested_zoom_effect.h"
#include "effects/ortho_matrices.h"
#include "effects/noise_effect.h"
#include "effects/particle_effect.h"
#include "effects/picture_in_picture_effect.h"
#include "effects/required_image.h"
#include "effects/starfield_effect.h"
#include "effects/swirl_effect.h"
#include "effects/textured_quad.h"
#include "effects/wipe_effect.h"
#include "effects/zoom_blur_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"
#include "libs/ppd/ppd.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSourceId = 3;
constexpr int kTargetId = 4;
constexpr int kFrameStep = 16;  // ms of music time between frames

// One effect under measurement, owned as its concrete type.
struct Subject {
    virtual ~Subject() = default;
    virtual Effect& effect() = 0;
    // Hands the bench's table to an effect that draws other effects of it.
    virtual void useEffectTable(const EffectTable& table) = 0;
};
template <class E>
struct Held : Subject {
    template <class... A>
    explicit Held(A&&... args) : held(std::forward<A>(args)...) {}
    Effect& effect() override { return held; }
    void useEffectTable([[maybe_unused]] const EffectTable& table) override {
        if constexpr (LooksUpEffects<E>::value) held.useEffectTable(table);
    }
    E held;
};
template <class E, class... A>
std::unique_ptr<Subject> make(A&&... args) {
    return std::make_unique<Held<E>>(std::forward<A>(args)...);
}

struct Row {
    const char* name;
    std::function<std::unique_ptr<Subject>(ImageLibrary&)> build;
    std::vector<SignalValue> signals;  // sent after init, before start
};

// The effects, one row each.
std::vector<Row> rows() {
    return {
        {"ImageSequenceEffect",
         [](ImageLibrary& l) { return make<ImageSequenceEffect>(&l, requireImage(l, "kake1.jpg")); },
         {}},
        {"LogoEffect", [](ImageLibrary& l) { return make<LogoEffect>(&l, requireImage(l, "vantor.pcx")); }, {}},
        {"StarfieldEffect",
         [](ImageLibrary& l) { return make<StarfieldEffect>(&l, requireImage(l, "stjernebk - morkere.jpg")); },
         {}},
        {"NoiseEffect (frozen)", [](ImageLibrary&) { return make<NoiseEffect>(); }, {}},
        {"NoiseEffect (re-rolled)",
         [](ImageLibrary&) { return make<NoiseEffect>(); },
         {SignalValue(NoiseEffect::REROLL, 1)}},
        {"HorizonScrollEffect", [](ImageLibrary& l) { return make<HorizonScrollEffect>(l); }, {}},
        {"NestedZoomEffect", [](ImageLibrary& l) { return make<NestedZoomEffect>(l); }, {}},
        {"ParticleEffect", [](ImageLibrary& l) { return make<ParticleEffect>(requireImage(l, "particle.pcx")); }, {}},
        {"WipeEffect",
         [](ImageLibrary& l) { return make<WipeEffect>(&l, "wipe1.pcx"); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId), SignalValue(WipeEffect::WIPE_FROM, kTargetId)}},
        {"MosaicGlowEffect",
         [](ImageLibrary& l) { return make<MosaicGlowEffect>(&l); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId)}},
        {"AddCaptureEffect",
         [](ImageLibrary& l) { return make<AddCaptureEffect>(&l); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId)}},
        {"SwirlEffect",
         [](ImageLibrary& l) { return make<SwirlEffect>(&l); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId)}},
        {"ZoomBlurEffect",
         [](ImageLibrary& l) { return make<ZoomBlurEffect>(&l); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId)}},
        {"PictureInPictureEffect",
         [](ImageLibrary& l) { return make<PictureInPictureEffect>(&l); },
         {SignalValue(CaptureEffect::SOURCE, kSourceId)}},
    };
}

// A 24-bit picture with some structure (gradients and stripes).
void writePicture(const std::string& path, int w, int h, bool pcx) {
    kpximage* image = kpx_create(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = image->image + (static_cast<std::size_t>(y) * w + x) * 3;
            p[0] = static_cast<unsigned char>(x * 255 / w);
            p[1] = static_cast<unsigned char>(y * 255 / h);
            p[2] = static_cast<unsigned char>(((x / 16 + y / 16) % 2) * 200);
        }
    if (pcx) {
        kpx_save_pcx(path.c_str(), image);
    } else {
        kpx_set_jpg_quality(90);
        kpx_save_jpg(path.c_str(), image);
    }
    kpx_free(image);
}

void writePictures(const std::filesystem::path& dir) {
    struct File {
        const char* name;
        int w, h;
    };
    const File files[] = {
        {"kake1.jpg", 640, 480},      {"vantor.pcx", 512, 256},     {"stjernebk - morkere.jpg", 1024, 512},
        {"horisbig1.jpg", 1024, 512}, {"horisbig2.jpg", 1024, 512}, {"bakgrscroll3.jpg", 1024, 512},
        {"zoom0.jpg", 512, 512},      {"zoom1.jpg", 512, 512},      {"zoom2.jpg", 512, 512},
        {"zoom3.jpg", 512, 512},      {"particle.pcx", 64, 64},     {"wipe1.pcx", 256, 256}};
    for (const File& f : files) {
        const std::string name = f.name;
        writePicture((dir / name).string(), f.w, f.h, name.size() > 3 && name.substr(name.size() - 3) == "pcx");
    }
}

void frameState() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
}

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Median milliseconds of one frame of `draw` (given the frame's music time).
double timeFrames(int frames, const std::function<void(int)>& draw) {
    std::vector<double> ms;
    for (int i = -10; i < frames; ++i) {  // ten frames to warm up
        const auto start = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw(1000 + (i + 10) * kFrameStep);
        glFinish();
        if (i >= 0) ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return median(ms);
}

// The peer: one full-screen quad of a 640 x 480 image in a 1024 x 512 texture.
double timePeer(int frames) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<unsigned char> texels(1024 * 512 * 4, 90);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const double ms = timeFrames(frames, [texture](int) {
        pushOrthoMatrices(0, 640.0 / 1024, 480.0 / 512, 0);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        texturedQuad(0, 0, 1, 1);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        popOrthoMatrices();
    });
    glDeleteTextures(1, &texture);
    return ms;
}

int usage(const char* message) {
    if (message) std::fprintf(stderr, "effects_bench: %s\n", message);
    std::fprintf(message ? stderr : stdout, "usage: effects_bench [--frames N] [--only NAME]\n");
    return message ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 200;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help")) return usage(nullptr);
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
            if (frames < 1) return usage("--frames needs a positive number");
        } else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
            only = argv[++i];
        } else {
            return usage((std::string("unknown argument ") + argv[i]).c_str());
        }
    }

    std::string error;
    auto gl = vantor::platform::OffscreenGL::create(kWidth, kHeight, &error);
    if (!gl) {
        std::fprintf(stderr, "effects_bench: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    // The libraries' progress lines are off: standard output is the table's.
    vantor::log::setProgressQuiet(true);
    ppd_clear_archive();
    const auto dir = std::filesystem::temp_directory_path() / ("effects_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    writePictures(dir);
    ImageLibrary library;
    const std::string path = dir.string() + "/";
    library.setPath(path.c_str());

    EffectTable table;
    ParticleEffect source(makeParticleSprite(requireImage(library, "particle.pcx")));
    table.set(kSourceId, &source);
    source.init(0);
    source.start();
    ImageSequenceEffect target(&library, requireImage(library, "kake1.jpg"));
    table.set(kTargetId, &target);
    target.init(0);

    struct Result {
        std::string name;
        double ms;
    };
    std::vector<Result> results;
    frameState();
    const double peer = timePeer(frames);
    for (const Row& row : rows()) {
        if (!only.empty() && only != row.name) continue;
        auto subject = row.build(library);
        subject->useEffectTable(table);
        Effect& effect = subject->effect();
        effect.init(1000);
        for (const SignalValue& value : row.signals) effect.signal(value);
        effect.start();
        frameState();
        results.push_back({row.name, timeFrames(frames, [&effect](int t) {
                               effect.prepare(t);
                               effect.run(t);
                               effect.post();
                           })});
    }
    std::filesystem::remove_all(dir);

    std::printf("2D effects alone at %d x %d, median of %d frames (prepare + run + post, glFinish)\n", kWidth, kHeight,
                frames);
    std::printf("%-28s %10s %8s\n", "effect", "ms/frame", "x peer");
    std::printf("%-28s %10.3f %8.2f\n", "peer: one textured quad", peer, 1.0);
    for (const Result& r : results) std::printf("%-28s %10.3f %8.2f\n", r.name.c_str(), r.ms, r.ms / peer);
    return 0;
}
