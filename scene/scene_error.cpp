#include "scene/scene_error.h"

#include "platform/message_box.h"

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
    vantor::platform::showMessageBox("error", message, vantor::platform::BoxIcon::Error);
    std::exit(1);
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
