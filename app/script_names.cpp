#include "app/script_names.h"

#include "app/effect_protocol.h"

#include <vector>

namespace {

// A word the script wrote as a name: neither empty nor a number.
bool isName(const std::string& word) {
    if (word.empty()) return false;
    const std::size_t digit = word[0] == '-' || word[0] == '+' ? 1 : 0;
    return digit >= word.size() || word[digit] < '0' || word[digit] > '9';
}

// The name another entry of the script wrote for the same thing.
template <typename Same, typename Word>
std::string nameElsewhere(const Script& script, Same same, Word word) {
    for (const auto* events : {&script.setupEvents(), &script.timelineEvents()})
        for (const ScriptEvent& other : *events)
            if (same(other) && isName(word(other))) return word(other);
    return {};
}

std::string idName(const Script& script, const ScriptEvent& event) {
    std::string name = scriptEffectWord(script, event.effectId, &event);
    if (!name.empty()) return name;
    const EffectProtocol* effect = findEffectProtocol(event.effectId);
    return std::to_string(event.effectId) + (effect ? std::string(" (") + effect->className + ")" : std::string());
}

std::string codeName(const Script& script, const ScriptEvent& event) {
    std::string name = scriptCodeWord(script, event.effectId, event.value.code, &event);
    if (!name.empty()) return name;
    const EffectProtocol* effect = findEffectProtocol(event.effectId);
    const SignalCodeInfo* code = effect ? effect->findCode(event.value.code) : nullptr;
    return code ? code->name : std::to_string(event.value.code);
}

bool valueIgnored(const ScriptEvent& event) {
    const EffectProtocol* effect = findEffectProtocol(event.effectId);
    const SignalCodeInfo* code = effect ? effect->findCode(event.value.code) : nullptr;
    return code && code->unit == SignalUnit::Ignored;
}

}  // namespace

std::string scriptEffectWord(const Script& script, std::int32_t effectId, const ScriptEvent* event) {
    if (event && isName(event->written.id)) return event->written.id;
    return nameElsewhere(
        script, [&](const ScriptEvent& e) { return e.effectId == effectId; },
        [](const ScriptEvent& e) { return e.written.id; });
}

std::string scriptCodeWord(const Script& script, std::int32_t effectId, std::int32_t code, const ScriptEvent* event) {
    if (event && event->kind == ScriptEvent::Signal && isName(event->written.code)) return event->written.code;
    return nameElsewhere(
        script,
        [&](const ScriptEvent& e) {
            return e.kind == ScriptEvent::Signal && e.effectId == effectId && e.value.code == code;
        },
        [](const ScriptEvent& e) { return e.written.code; });
}

std::string scriptTimeName(const ScriptEvent& event) {
    if (!event.written.time.empty() && event.written.time.find_first_not_of("0123456789") != std::string::npos)
        return event.written.time;
    return std::to_string(event.time);
}

std::string scriptActionName(const Script& script, const ScriptEvent& event) {
    std::string text = std::string(ScriptEvent::kindWord(event.kind)) + " " + idName(script, event);
    if (event.kind != ScriptEvent::Signal) return text;
    text += " " + codeName(script, event);
    if (valueIgnored(event)) return text;
    const std::string value = !event.written.value.empty() ? event.written.value
                              : event.value.isString       ? event.value.text
                                                           : std::to_string(event.value.intValue);
    return text + " " + value;
}

std::string scriptEventName(const Script& script, const ScriptEvent& event) {
    return scriptTimeName(event) + "  " + scriptActionName(script, event);
}
