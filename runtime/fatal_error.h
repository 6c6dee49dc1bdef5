// The program-wide end for unrecoverable errors.
//
// fatalError builds "message" or "message number" (number -1 means none), at
// most 199 characters, shuts the sound system down when it was started,
// releases the window (its display mode and GL context) when one is open,
// shows the text in a box captioned "error" and ends the process with exit
// code 1. The scene library's SceneError ends the same way.
//
// Tests and tools replace the final step (box and exit) through a sink; the
// sound and the window are released before the sink too: a sink may throw (a
// test catches the text) or exit on its own. If a sink returns, fatalError
// still ends the process with exit code 1.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

[[noreturn]] void fatalError(const char* message, int number);

// A composed message without a number ("could not load image " + name).
[[noreturn]] inline void fatalError(const std::string& message) { fatalError(message.c_str(), -1); }

// The text fatalError shows for these arguments.
std::string fatalErrorText(const char* message, int number);

// Ends the program with a finished text, as fatalError does: the sound goes
// silent, the window is released, then the sink (or the box captioned
// "error") gets the text, and the process exits with code 1. The scene
// library's SceneError ends here too.
[[noreturn]] void endWithError(const std::string& text);

using FatalErrorSink = std::function<void(const std::string& text)>;

// Installs a sink; an empty sink restores the default (box, then exit 1).
// Returns the previous sink.
FatalErrorSink setFatalErrorSink(FatalErrorSink sink);

// Called before the box when set: shuts the sound system down. The music
// player installs it once the sound system is up and removes it on close.
void setFatalErrorSoundShutdown(std::function<void()> shutdown);

// Called after the sound shutdown and before the box when set: gives the
// display its own mode back and releases the window and its context, so a
// full-screen error does not leave the desktop at the demo's mode. The demo
// window installs it while it is open.
void setFatalErrorWindowRelease(std::function<void()> release);

// A sink for tests and tools: throws FatalError carrying the text.
struct FatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void throwingFatalErrorSink(const std::string& text);

// Whether the program goes on after the sink has its text (a sink that throws
// to a caller that recovers, as author mode does): then nothing is released
// before the sink, since the sound and the window are still in use. False
// (the start-up state): the sound and the window are released first, as for
// an end. Returns the previous setting.
bool setFatalErrorsRecovered(bool recovered);

// Installs the throwing sink for the lifetime of the object.
class ScopedFatalErrorCapture {
public:
    ScopedFatalErrorCapture() : previous_(setFatalErrorSink(throwingFatalErrorSink)) {}
    ~ScopedFatalErrorCapture() { setFatalErrorSink(previous_); }
    ScopedFatalErrorCapture(const ScopedFatalErrorCapture&) = delete;
    ScopedFatalErrorCapture& operator=(const ScopedFatalErrorCapture&) = delete;

private:
    FatalErrorSink previous_;
};

// The throwing sink for a program that recovers from what it catches: the
// sound and the window stay up through every error, for the object's lifetime.
class ScopedRecoveredFatalErrors {
public:
    ScopedRecoveredFatalErrors() : recovered_(setFatalErrorsRecovered(true)) {}
    ~ScopedRecoveredFatalErrors() { setFatalErrorsRecovered(recovered_); }
    ScopedRecoveredFatalErrors(const ScopedRecoveredFatalErrors&) = delete;
    ScopedRecoveredFatalErrors& operator=(const ScopedRecoveredFatalErrors&) = delete;

private:
    ScopedFatalErrorCapture capture_;
    bool recovered_;
};
