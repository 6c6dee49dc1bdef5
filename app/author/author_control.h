// Carries out the control channel's commands on an author session and
// answers each with one line: "ok", the time for "time", or "error: ..." for
// a command that changed nothing.
#pragma once

#include "app/author/control_command.h"

#include <functional>
#include <optional>
#include <string>

class AuthorSession;
class Demo;

class AuthorControl {
public:
    using Answer = std::function<void(const std::string& line)>;
    // Writes the frame just drawn (still in the back buffer) to a PNG file;
    // false with the reason in *error.
    using FrameWriter = std::function<bool(const std::string& file, std::string* error)>;

    AuthorControl(AuthorSession& session, Demo& demo, Answer answer, FrameWriter writeFrame);

    // What "overlay on|off" switches, and the frame rate "status" tells.
    void setOverlaySwitch(std::function<void(bool shown)> show) { showOverlay_ = std::move(show); }
    void setFrameRate(std::function<double()> perSecond) { frameRate_ = std::move(perSecond); }
    // The answer to "status": time, bar:beat, paused or playing, loop, frames
    // a second, the current error or "ok".
    std::string status();

    // To be called when a frame is finished, before it is shown: takes the
    // shot asked for, if any.
    void frameDrawn();

    // To be called when a pass ended in an error instead of a frame: a shot
    // asked for is answered with the error, so no answer waits for ever.
    void frameFailed(const std::string& error);

    // Carries out one line; a shot is answered once the next frame is drawn.
    void handle(const std::string& line);
    bool quitRequested() const { return quit_; }
    // True while a shot waits for its frame: the next command waits too, so
    // that answers come in the order of the commands.
    bool busy() const { return !shotFile_.empty(); }

private:
    void carryOut(const ControlCommand& command);
    // Seeks to a target, or answers why there is none; true when moved.
    bool moveTo(std::optional<int> target, const std::string& none);

    AuthorSession& session_;
    Demo& demo_;
    Answer answer_;
    FrameWriter writeFrame_;
    std::function<void(bool shown)> showOverlay_;
    std::function<double()> frameRate_;
    std::string shotFile_;  // the next frame goes here (empty: no shot asked)
    bool quit_ = false;
};

// The frame in the current GL context's colour buffer, written as PNG.
bool writeCurrentFrame(const std::string& file, std::string* error);
