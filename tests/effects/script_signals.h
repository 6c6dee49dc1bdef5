// Plays a script's events against a table through the frame loop's own
// dispatch (setup signals first, then the timeline in order), without
// drawing: for tests whose effects are wired together by a script.
#pragma once

#include "runtime/effect_table.h"
#include "runtime/fatal_error.h"
#include "runtime/script.h"
#include "runtime/script_dispatch.h"

#include <memory>
#include <string_view>

namespace vantor::test {

inline void playScriptEvents(std::string_view text, EffectTable& table) {
    std::unique_ptr<Script> script;
    {
        ScopedFatalErrorCapture capture;
        script = Script::fromText(text);
    }
    for (const ScriptEvent& event : script->setupEvents()) dispatchScriptEvent(event, table);
    for (const ScriptEvent& event : script->timelineEvents()) dispatchScriptEvent(event, table);
}

}  // namespace vantor::test
