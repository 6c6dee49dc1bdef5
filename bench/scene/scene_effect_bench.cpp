// Frame cost of the scene effects that draw a scene more than once a frame,
// next to a plain SceneEffect frame (update + draw) of the same scene:
//   - the glow scene: capture pass (four objects drawn alone and copied) and
//     display pass (the scene once more, 48 additive sprite layers);
//   - the visor: the two visor images, the sphere scene, and the plain scene
//     as its source, drawn twice (capture and foreground).
// The scene is a ring of twelve spheres of 1536 triangles round a core, like
// the demo's glow scene; the ratios say how many plain frames each costs.
#include "bench/scene/offscreen_frame.h"
#include "bench/scene/time_reporter.h"
#include "runtime/effect_table.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "scene/effects/glow_scene_effect.h"
#include "scene/effects/scene_effect.h"
#include "scene/effects/visor_effect.h"
#include "scene/format/scene_file_writer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;

void frameState() {
    vantor::bench::perspectiveFrameState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A UV sphere of 2 x rings x segments triangles, mapped by longitude and latitude.
ppp::MeshRecord sphere(std::int32_t id, float radius, const Vec3& place, std::int32_t material) {
    constexpr int kRings = 24, kSegments = 32;
    ppp::MeshRecord m;
    m.id = id;
    m.name = "sphere";
    m.position = place;
    for (int i = 0; i <= kRings; ++i)
        for (int j = 0; j <= kSegments; ++j) {
            const float a = float(M_PI) * i / kRings, b = 2 * float(M_PI) * j / kSegments;
            m.vertices.push_back(
                {radius * std::sin(a) * std::cos(b), radius * std::cos(a), radius * std::sin(a) * std::sin(b)});
            m.texCoords.push_back({float(j) / kSegments, float(i) / kRings});
        }
    const auto at = [](int i, int j) { return std::uint32_t(i * (kSegments + 1) + j); };
    for (int i = 0; i < kRings; ++i)
        for (int j = 0; j < kSegments; ++j) {
            FaceIndices f1, f2;
            const std::uint32_t q[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            const std::uint32_t a[3] = {q[0], q[2], q[1]}, b[3] = {q[0], q[3], q[2]};
            for (int k = 0; k < 3; ++k) {
                f1.vertex[k] = f1.texCoord[k] = a[k];
                f2.vertex[k] = f2.texCoord[k] = b[k];
            }
            f1.materialId = f2.materialId = material;
            m.faces.push_back(f1);
            m.faces.push_back(f2);
        }
    return m;
}

ppp::MaterialRecord material(std::int32_t id, const char* texture) {
    ppp::MaterialRecord r;
    r.id = id;
    r.ambient = r.diffuse = {0.9f, 0.9f, 0.9f};
    r.shininess = 0.2f;
    if (texture) r.textures[0] = texture;
    return r;
}

void writeImage(const fs::path& path, int width, int height, int bpp) {
    kpximage* img = kpx_create(std::uint16_t(width), std::uint16_t(height), std::uint16_t(bpp), bpp == 8 ? 256 : 0);
    const int bytes = bpp / 8;
    for (int i = 0; i < width * height; ++i)
        for (int c = 0; c < bytes; ++c) img->image[bytes * i + c] = std::uint8_t((i * 7 + c * 50) & 0xff);
    if (bpp == 8) {
        for (int i = 0; i < 256 * 3; ++i) img->palette[i] = std::uint8_t(i / 3);
        kpx_save_pcx(path.c_str(), img);
    } else {
        kpx_save_tga(path.c_str(), img, 0);
    }
    kpx_free(img);
}

// The scene files, textures and images, in a folder that becomes the working
// directory: data/ring.ppp, data/sphere.ppp, the visor images and a hole map.
struct Files {
    fs::path dir;
    Files() {
        char name[] = "/tmp/scene-effect-bench-XXXXXX";
        if (!mkdtemp(name)) std::exit(1);
        dir = name;
        fs::create_directories(dir / "data" / "textures");
        fs::create_directories(dir / "data" / "images");
        writeImage(dir / "celpalette.pcx", 256, 1, 8);
        writeImage(dir / "data" / "textures" / "stone.tga", 256, 256, 24);
        writeImage(dir / "data" / "images" / "holemap.pcx", 256, 256, 8);
        writeImage(dir / "data" / "images" / "visir_full2.tga", 1024, 512, 32);
        writeImage(dir / "data" / "images" / "visir_front3.tga", 1024, 512, 32);

        SceneFileWriter ring;
        ring.material(material(1, "stone.tga"));
        ring.material(material(2, "stone.tga"));
        const int ids[12] = {2, 3, 4, 5, 8, 9, 6, 10, 11, 7, 12, 13};
        for (int i = 0; i < 12; ++i) {
            const float a = 2 * float(M_PI) * i / 12;
            ring.mesh(sphere(ids[i], 9, {70 * std::sin(a), 0, 70 * std::cos(a)}, ids[i] == 2 ? 1 : 2));
        }
        ring.mesh(sphere(30, 10, {0, 0, 0}, 2));
        ring.camera({40, {0, 60, 200}, 30});
        ring.light({41, {100, 100, 100}, {1, 1, 1}});
        ring.end();
        ring.save((dir / "data" / "ring.ppp").string());

        SceneFileWriter visor;
        visor.material(material(1, nullptr));
        visor.mesh(sphere(1, 10, {0, 0, 0}, 1));
        visor.camera({2, {0, 0, 40}, 1});
        visor.light({3, {0, 0, 40}, {1, 1, 1}});
        visor.end();
        visor.save((dir / "data" / "sphere.ppp").string());
        fs::current_path(dir);
    }
    ~Files() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

struct Fixture {
    Files files;
    ImageLibrary images;
    EffectTable table;  // the visor finds its source here
    std::unique_ptr<SceneEffect> plain;
    std::unique_ptr<SceneEffect> source;
    std::unique_ptr<GlowSceneEffect> glow;
    std::unique_ptr<VisorEffect> visor;

    Fixture() {
        vantor::bench::offscreenContext("scene_effect_bench");
        kpx_verbose_off();
        images.setPath((files.dir.string() + "/").c_str());
        plain = std::make_unique<SceneEffect>("data/ring.ppp", images);
        source = std::make_unique<SceneEffect>("data/ring.ppp", images);
        glow = std::make_unique<GlowSceneEffect>("data/ring.ppp", "data/images/holemap.pcx", images);
        visor = std::make_unique<VisorEffect>("data/sphere.ppp", images);
        visor->useEffectTable(table);
        table.set(1, source.get());
        visor->signal(SignalValue(VisorEffect::SOURCE, 1));
        if (visor->source() != source.get()) {
            std::fprintf(stderr, "scene_effect_bench: the visor did not take the plain scene as its source\n");
            std::exit(1);
        }
        plain->init(0);
        source->init(0);
        glow->init(0);
        visor->init(0);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Frames 20 ms apart, as at 50 frames a second.
template <class Frame>
void frames(benchmark::State& state, Frame frame) {
    int time = 0;
    for (auto _ : state) {
        frameState();
        frame(time);
        glFinish();
        time += 20;
    }
}

void BM_SceneEffectFrame(benchmark::State& state) {
    Fixture& f = fixture();
    frames(state, [&](int t) { f.plain->run(t); });
}
BENCHMARK(BM_SceneEffectFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GlowSceneFrame(benchmark::State& state) {
    Fixture& f = fixture();
    frames(state, [&](int t) {
        f.glow->prepare(t);
        f.glow->run(t);
    });
}
BENCHMARK(BM_GlowSceneFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The two passes of the glow frame on their own.
void BM_GlowCapturePass(benchmark::State& state) {
    Fixture& f = fixture();
    frames(state, [&](int t) { f.glow->prepare(t); });
}
BENCHMARK(BM_GlowCapturePass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GlowDisplayPass(benchmark::State& state) {
    Fixture& f = fixture();
    frames(state, [&](int t) { f.glow->run(t); });
}
BENCHMARK(BM_GlowDisplayPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_VisorFrame(benchmark::State& state) {
    Fixture& f = fixture();
    frames(state, [&](int t) {
        f.visor->prepare(t);
        f.visor->run(t);
    });
}
BENCHMARK(BM_VisorFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vantor::bench::TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto isPeer = [](const std::string& name) { return name.rfind("BM_SceneEffectFrame", 0) == 0; };
    double peer = 0;
    for (const auto& [name, time] : reporter.times())
        if (isPeer(name)) peer = time;
    if (peer > 0)
        for (const auto& [name, time] : reporter.times())
            if (!isPeer(name)) std::printf("%s / SceneEffect frame: %.2f\n", name.c_str(), time / peer);
    benchmark::Shutdown();
    return 0;
}
