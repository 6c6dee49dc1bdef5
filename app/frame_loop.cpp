#include "app/frame_loop.h"

#include "runtime/fatal_error.h"
#include "runtime/script_dispatch.h"
#include "platform/virtual_keys.h"

#include <algorithm>
#include <limits>

namespace vk = vantor::platform::vk;
using vantor::platform::WindowMessage;

namespace {
constexpr const char* kScriptUnreadable = "could not parse script";
}

FrameLoop::FrameLoop(EffectTable& table, MusicClock& clock, vantor::platform::MessageSource& messages,
                     FrameTarget& target, ScriptLoader loadScript)
    : table_(table), clock_(clock), messages_(messages), target_(target), loadScript_(std::move(loadScript)) {}

bool FrameLoop::keyDown(int virtualKey) const {
    return virtualKey >= 0 && virtualKey < static_cast<int>(keyDown_.size()) && keyDown_[virtualKey] != 0;
}

void FrameLoop::scriptPhase() {
    // The old script and its events go before the new one is read.
    script_.reset();
    std::unique_ptr<Script> script = loadScript_();
    if (!script) fatalError(kScriptUnreadable, -1);
    startScript(std::move(script));
    clock_.seekMusic(script_->demoStart());
    clock_.playMusic();
}

void FrameLoop::startScript(std::unique_ptr<Script> script) {
    script_ = std::move(script);
    nextEvent_ = 0;
    // The next dispatch places every effect on the step grid afresh.
    advancedTo_.reset();
    if (!script_) return;
    table_.setStepOrigin(script_->demoStart());
    for (const ScriptEvent& event : script_->setupEvents())
        if (Effect* effect = table_.get(event.effectId)) effect->signal(event.value);
    table_.initAll();
}

void FrameLoop::windowProcedure(const WindowMessage& message) {
    switch (message.kind) {
    case WindowMessage::Kind::Size: target_.resize(message.width, message.height); break;
    case WindowMessage::Kind::Activate: windowActive_ = !message.minimised; break;
    case WindowMessage::Kind::Close:
        // The window stays; the quit message ends the loop in a later pass.
        messages_.postQuitMessage();
        break;
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
        // Code 0 is a key without a virtual-key code.
        if (message.key > 0 && message.key < static_cast<int>(keyDown_.size()))
            keyDown_[message.key] = message.kind == WindowMessage::Kind::KeyDown ? 1 : 0;
        if (keyPress_ && message.kind == WindowMessage::Kind::KeyDown && message.key > 0) keyPress_(message.key);
        break;
    case WindowMessage::Kind::Quit:
    case WindowMessage::Kind::Other: break;
    }
}

bool FrameLoop::pass() {
    if (quit_) return false;

    WindowMessage message;
    if (messages_.peekMessage(message)) {
        if (message.kind == WindowMessage::Kind::Quit)
            quit_ = true;
        else
            windowProcedure(message);
    } else if (windowActive_) {
        if (keyDown(vk::Escape)) {
            quit_ = true;
        } else if (keyDown(vk::Control) && keyDown(vk::Shift)) {
            if (reloadAction_)
                reloadAction_();
            else
                reload();
            return true;
        } else {
            frame();
        }
    }

    if (keyDown(vk::Control) && keyDown(vk::F1)) target_.toggleFullscreen();
    return true;
}

void FrameLoop::run() {
    while (pass()) {}
}

void FrameLoop::frame() {
    target_.clearFrame();
    now_ = clock_.musicTime();
    if (now_ >= endTime()) quit_ = true;
    dispatchDueEvents();
    table_.runAll(now_);
    if (beforeSwap_) beforeSwap_();
    target_.swapBuffers();
    ++framesDrawn_;
}

int FrameLoop::endTime() const {
    const std::int64_t soundtrack = clock_.musicLength();
    return script_ ? script_->endTime(soundtrack) : defaultShowEnd(soundtrack);
}

void FrameLoop::dispatchDueEvents() {
    if (!script_) return;
    const auto& events = script_->timelineEvents();
    while (nextEvent_ < events.size() && events[nextEvent_].time <= now_) {
        const ScriptEvent& event = events[nextEvent_];
        // Each event finds the effects where the frames before it would have
        // left them: the per-frame steps up to the millisecond before it.
        // After a restart the steps start from DEMOSTART, or from the first
        // event when the music stands before it.
        const int before = event.time > std::numeric_limits<int>::min() ? event.time - 1 : event.time;
        if (!advancedTo_) advanceEffects(std::min(before, script_->demoStart() - 1));
        advanceEffects(before);
        // The cursor passes each event before it is dispatched: an event whose
        // effect gives up (a caller that recovers) is not met again every frame.
        ++nextEvent_;
        dispatchScriptEvent(event, table_);
    }
}

void FrameLoop::advanceEffects(int time) {
    // Out of order entries never take the effects back.
    if (advancedTo_ && time <= *advancedTo_) return;
    table_.advanceAll(time);
    advancedTo_ = time;
}

void FrameLoop::reload() {
    table_.stopAll();
    scriptPhase();
}
