// Plays a script's events against a table as the frame loop dispatches them
// (setup signals first, then the timeline in order), without drawing: for
// tests whose effects are wired together by a script.
#pragma once

#include "app/runtime/effect_table.h"
#include "app/runtime/fatal_error.h"
#include "app/runtime/script.h"

#include <memory>
#include <string_view>

namespace vantor::test {

inline void playScriptEvents(std::string_view text, EffectTable& table) {
    std::unique_ptr<Script> script;
    {
        ScopedFatalErrorCapture capture;
        script = Script::fromText(text);
    }
    const auto dispatch = [&](const ScriptEvent& event) {
        Effect* effect = table.get(event.effectId);
        if (!effect) return;
        switch (event.kind) {
        case ScriptEvent::Start: effect->start(); break;
        case ScriptEvent::End: effect->stop(); break;
        case ScriptEvent::Init: effect->init(event.time); break;
        case ScriptEvent::Signal: effect->signal(event.value); break;
        default: break;
        }
    };
    for (const ScriptEvent& event : script->setupEvents()) dispatch(event);
    for (const ScriptEvent& event : script->timelineEvents()) dispatch(event);
}

}  // namespace vantor::test
