// One capture: the demo's own start-up and frame loop on an offscreen target
// with a virtual clock, each frame drawn at its exact music time and read back
// into the output the options name.
#pragma once

#include "tools/vantor_capture/capture_options.h"

// Returns the exit code: 0, or 1 after a message on stderr. Failures of the
// demo's start-up end the process through fatalError with code 1.
int runCapture(const CaptureOptions& options);
