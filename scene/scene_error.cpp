#include "scene/scene_error.h"

#include "app/runtime/fatal_error.h"

#include <cstdlib>

namespace {

SceneErrorSink& sink() {
    static SceneErrorSink current;
    return current;
}

}  // namespace

void SceneError(const std::string& message) {
    if (sink()) {
        sink()(message);
        std::exit(1);
    }
    // Same end as every other fatal error: sound off, box "error", exit 1.
    endWithError(message);
}

SceneErrorSink setSceneErrorSink(SceneErrorSink next) {
    SceneErrorSink previous = std::move(sink());
    sink() = std::move(next);
    return previous;
}

ScopedSceneErrorCapture::ScopedSceneErrorCapture()
    : previous_(setSceneErrorSink([](const std::string& message) { throw SceneErrorRaised(message); })) {}

ScopedSceneErrorCapture::~ScopedSceneErrorCapture() {
    setSceneErrorSink(std::move(previous_));
}
