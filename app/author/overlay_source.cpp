#include "app/author/overlay_source.h"

#include "app/script_names.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

std::string effectClassName(const Effect& effect) {
    const char* mangled = typeid(effect).name();
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                           std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    // The effect inside a registration wrapper (RegisteredEffect<SceneEffect>),
    // without namespaces: the class is what an author knows.
    const std::size_t open = name.find('<');
    if (open != std::string::npos && name.back() == '>') name = name.substr(open + 1, name.size() - open - 2);
    const std::size_t colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

void fillOverlayState(OverlayState& state, const FrameLoop& loop, const EffectTable& table,
                      const Transport& transport) {
    state.musicTime = loop.now();
    state.position = transport.barBeat(loop.now());
    state.running.clear();
    for (int id = 0; id < EffectTable::kSlots; ++id) {
        const Effect* effect = table.get(id);
        if (effect && effect->running) state.running.push_back({id, effectClassName(*effect)});
    }
    state.lastEvent.clear();
    state.lastEventLine = 0;
    // Dispatch takes the events in list order, so the one before the cursor
    // went last (events for empty ids are taken too).
    const Script* script = loop.script();
    if (script && loop.nextEvent() > 0 && loop.nextEvent() <= script->timelineEvents().size()) {
        const ScriptEvent& event = script->timelineEvents()[loop.nextEvent() - 1];
        state.lastEvent = scriptEventName(*script, event);
        state.lastEventLine = event.line;
    }
}
