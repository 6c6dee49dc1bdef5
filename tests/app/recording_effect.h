// An effect that writes every call it receives into a shared log, for checking
// the order in which the table and the loop reach effects.
#pragma once

#include "runtime/effect.h"

#include <functional>
#include <string>
#include <vector>

namespace vantor::test {

using CallLog = std::vector<std::string>;

class RecordingEffect : public Effect {
public:
    RecordingEffect(std::string name, CallLog& log) : name_(std::move(name)), log_(log) {}

    void init(int time) override { note("init " + std::to_string(time)); }
    void start() override {
        note("start");
        Effect::start();
    }
    void stop() override {
        note("stop");
        Effect::stop();
    }
    void run(int time) override {
        note("run " + std::to_string(time));
        if (onRun) onRun();
    }
    void post() override { note("post"); }
    void signal(SignalValue value) override {
        note("signal " + std::to_string(value.code) + ":" +
             (value.isString ? value.text : std::to_string(value.intValue)));
        if (onSignal) onSignal(value);
    }
    void prepare(int time) override {
        note("prepare " + std::to_string(time));
        if (onPrepare) onPrepare();
    }

    // Extra work done inside prepare / run (to disturb other effects).
    std::function<void()> onPrepare;
    std::function<void()> onRun;
    std::function<void(const SignalValue&)> onSignal;

private:
    void note(const std::string& what) { log_.push_back(name_ + " " + what); }

    std::string name_;
    CallLog& log_;
};

}  // namespace vantor::test
