// Stand-ins for the frame loop's surroundings: a scripted message queue, a
// drawing target and a clock that write into the same call log as the
// recording effects, so a test sees one ordered story of a pass.
#pragma once

#include "app/frame_target.h"
#include "app/music_clock.h"
#include "platform/window_messages.h"
#include "tests/app/recording_effect.h"

#include <deque>
#include <string>

namespace vantor::test {

using platform::WindowMessage;

class FakeMessages : public platform::MessageSource {
public:
    bool peekMessage(WindowMessage& message) override {
        if (queue.empty()) return false;
        message = queue.front();
        queue.pop_front();
        return true;
    }
    void postQuitMessage() override {
        WindowMessage quit;
        quit.kind = WindowMessage::Kind::Quit;
        queue.push_back(quit);
    }

    void key(int code, bool down) {
        WindowMessage m;
        m.kind = down ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp;
        m.key = code;
        queue.push_back(m);
    }
    void activate(bool minimised) {
        WindowMessage m;
        m.kind = WindowMessage::Kind::Activate;
        m.minimised = minimised;
        queue.push_back(m);
    }
    void push(WindowMessage::Kind kind) {
        WindowMessage m;
        m.kind = kind;
        queue.push_back(m);
    }

    std::deque<WindowMessage> queue;
};

class FakeTarget : public FrameTarget {
public:
    explicit FakeTarget(CallLog& log) : log_(log) {}
    void clearFrame() override { log_.push_back("clear"); }
    void swapBuffers() override { log_.push_back("swap"); }
    void resize(int width, int height) override {
        log_.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void toggleFullscreen() override { log_.push_back("toggle"); }

private:
    CallLog& log_;
};

// A virtual clock that also notes seeks, plays and reads.
class LoggingClock : public VirtualClock {
public:
    explicit LoggingClock(CallLog& log) : log_(log) {}
    int musicTime() override {
        log_.push_back("time " + std::to_string(VirtualClock::musicTime()));
        return VirtualClock::musicTime();
    }
    void seekMusic(int ms) override {
        log_.push_back("seek " + std::to_string(ms));
        VirtualClock::seekMusic(ms);
    }
    void playMusic() override {
        log_.push_back("play");
        VirtualClock::playMusic();
    }

private:
    CallLog& log_;
};

}  // namespace vantor::test
