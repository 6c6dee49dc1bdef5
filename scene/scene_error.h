// The scene library's end for unrecoverable errors: as with fatalError, the
// sound goes silent, the text is shown in a box captioned "error" and the
// process ends with exit code 1. Nothing is returned
// to the caller and nothing is cleaned up.
//
// Tests and tools replace the final step through a sink. A sink may throw (a
// test catches the text); if it returns, the process still ends with code 1.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

[[noreturn]] void SceneError(const std::string& message);

using SceneErrorSink = std::function<void(const std::string& message)>;

// Installs a sink; an empty sink restores the default (box, then exit 1).
// Returns the previous sink.
SceneErrorSink setSceneErrorSink(SceneErrorSink sink);

// What the throwing sink raises: carries the message text.
struct SceneErrorRaised : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Installs a sink that throws SceneErrorRaised for the lifetime of the object.
class ScopedSceneErrorCapture {
public:
    ScopedSceneErrorCapture();
    ~ScopedSceneErrorCapture();
    ScopedSceneErrorCapture(const ScopedSceneErrorCapture&) = delete;
    ScopedSceneErrorCapture& operator=(const ScopedSceneErrorCapture&) = delete;

private:
    SceneErrorSink previous_;
};
