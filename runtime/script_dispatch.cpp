#include "runtime/script_dispatch.h"

void dispatchScriptEvent(const ScriptEvent& event, EffectTable& table) {
    Effect* effect = table.get(event.effectId);
    if (!effect) return;
    switch (event.kind) {
    case ScriptEvent::Start: effect->start(); break;
    case ScriptEvent::End: effect->stop(); break;
    case ScriptEvent::Init: effect->init(event.time); break;
    case ScriptEvent::Signal: effect->signal(event.value); break;
    default: break;
    }
}
