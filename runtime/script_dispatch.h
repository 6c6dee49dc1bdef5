// One timeline or setup event carried out on the effect it names: START,
// END, INIT (with the event's time) or SIGNAL (with its value). Ids without
// an effect and unknown kinds do nothing. The frame loop dispatches every
// event through this, and so may anything else that plays a script against
// a table.
#pragma once

#include "runtime/effect_table.h"
#include "runtime/script.h"

void dispatchScriptEvent(const ScriptEvent& event, EffectTable& table);
