// The scene library's end for unrecoverable errors: the program-wide end of
// fatalError (runtime/fatal_error.h) with the message as its text. The
// sound goes silent, the window is released, then the installed sink (or the
// box captioned "error") gets the text and the process ends with exit code 1.
// Nothing is returned to the caller and nothing else is cleaned up.
//
// Tests and tools replace the final step through the one fatal-error sink;
// the names below are that sink's capture and exception, spelled for the
// scene library's callers.
#pragma once

#include "runtime/fatal_error.h"

#include <string>

[[noreturn]] void SceneError(const std::string& message);

// What the throwing sink raises: carries the message text.
using SceneErrorRaised = FatalError;

// Installs the throwing sink for the lifetime of the object.
using ScopedSceneErrorCapture = ScopedFatalErrorCapture;
