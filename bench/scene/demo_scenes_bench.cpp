// Frame cost of each of the demo's scenes at 640 x 480, drawn as the scene
// effects draw them (update to a scene time, then Scene::draw) through each
// camera at moments spread over the show, next to the scene's own triangles
// sent in bare immediate mode (positions and normals only, one material, no
// transforms). The ratio is what the hierarchy, the materials and the
// per-vertex eye normals cost on top of pushing the triangles.
//
// Reads the scene files and textures the build wrote into demo/data.
#include "bench/scene/offscreen_frame.h"
#include "bench/scene/time_reporter.h"
#include "content/scenes/scenes.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "scene/mesh_object.h"
#include "scene/scene_file_reader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

struct Loaded {
    std::unique_ptr<ImageLibrary> images;
    std::unique_ptr<Scene> scene;
    std::vector<const MeshObject*> meshes;  // every drawn mesh of the hierarchy
    std::size_t triangles = 0;
    int cameras = 0;
};

void collect(const SceneObject* o, Loaded& l) {
    for (; o; o = o->next) {
        const auto* mesh = dynamic_cast<const MeshObject*>(o);
        if (mesh && !dynamic_cast<const BillboardObject*>(o)) {
            l.meshes.push_back(mesh);
            l.triangles += mesh->faces().size();
        }
        collect(o->firstChild(), l);
    }
}

Loaded& scene(int index) {
    static std::map<int, Loaded> loaded;
    auto found = loaded.find(index);
    if (found != loaded.end()) return found->second;
    vantor::bench::offscreenContext("demo_scenes_bench");
    if (kpx_verbose()) kpx_verbose_off();
    Loaded l;
    l.images = std::make_unique<ImageLibrary>();
    const std::string file = std::string(DEMO_DATA_DIR) + "/" + demoscenes::kDemoScenes[index].file;
    SceneFileReader reader;
    l.scene.reset(reader.load(file.c_str(), DEMO_DATA_DIR "/textures/", l.images.get()));
    l.scene->setCulling(demoscenes::kDemoScenes[index].culling);
    collect(l.scene->objects, l);
    for (SceneObject* c = l.scene->cameras; c; c = c->next) ++l.cameras;
    return loaded.emplace(index, std::move(l)).first->second;
}

// One frame every 250 ms of music over the whole show, cameras taking turns
// every 20 frames.
void BM_DemoScene(benchmark::State& state) {
    const int index = int(state.range(0));
    Loaded& l = scene(index);
    const auto& entry = demoscenes::kDemoScenes[index];
    state.SetLabel(entry.file);
    long frame = 0;
    for (auto _ : state) {
        if (frame % 20 == 0) l.scene->nextCamera();
        const int ms = int((frame * 250) % 240000);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vantor::bench::perspectiveFrameState();
        l.scene->update(float(ms) / float(entry.speed));
        l.scene->draw();
        glFinish();
        ++frame;
    }
    state.counters["triangles"] = double(l.triangles);
}

// The peer: the scene's triangles with their normals, lit, one material.
void BM_BareTriangles(benchmark::State& state) {
    const int index = int(state.range(0));
    Loaded& l = scene(index);
    state.SetLabel(demoscenes::kDemoScenes[index].file);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vantor::bench::perspectiveFrameState();
        gluLookAt(0, 0, 200, 0, 0, 0, 0, 1, 0);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_BLEND);
        for (const MeshObject* mesh : l.meshes) vantor::bench::drawMeshBare(*mesh);
        glFinish();
    }
    state.counters["triangles"] = double(l.triangles);
}

void scenes(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < int(std::size(demoscenes::kDemoScenes)); ++i) b->Arg(i);
}
BENCHMARK(BM_DemoScene)->Apply(scenes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareTriangles)->Apply(scenes)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vantor::bench::TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int i = 0; i < int(std::size(demoscenes::kDemoScenes)); ++i) {
        const std::string arg = "/" + std::to_string(i) + "/";
        double drawn = 0, bare = 0;
        for (const auto& [name, time] : reporter.times()) {
            if (name.rfind("BM_DemoScene" + arg, 0) == 0) drawn = time;
            if (name.rfind("BM_BareTriangles" + arg, 0) == 0) bare = time;
        }
        if (drawn > 0 && bare > 0)
            std::printf("%-13s %6zu triangles  %7.2f ms a frame  / bare immediate mode: %.2f\n",
                        demoscenes::kDemoScenes[i].file, scene(i).triangles, drawn, drawn / bare);
    }
    benchmark::Shutdown();
    return 0;
}
