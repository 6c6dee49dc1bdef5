#include "tools/vantor_script/timeline_plan.h"

#include "app/effect_protocol.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace vantor::plot {

namespace {

std::vector<std::string_view> wordsOf(std::string_view line) {
    if (const auto comment = line.find("//"); comment != std::string_view::npos) line = line.substr(0, comment);
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The file's lines, indexed from 1.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines{std::string_view()};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The words an event's line spells its id and code with, when they are
// DEFINE names rather than numbers.
struct EventWords {
    std::string id, code;
};

EventWords namesOnLine(std::string_view line, const std::set<std::string, std::less<>>& defined) {
    const std::vector<std::string_view> words = wordsOf(line);
    EventWords found;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const std::string_view w = words[i];
        if (!sameWord(w, "START") && !sameWord(w, "END") && !sameWord(w, "INIT") && !sameWord(w, "SIGNAL")) continue;
        if (defined.count(words[i + 1])) found.id = std::string(words[i + 1]);
        if (sameWord(w, "SIGNAL") && i + 2 < words.size() && defined.count(words[i + 2]))
            found.code = std::string(words[i + 2]);
        break;
    }
    return found;
}

std::string codeLabel(const ScriptEvent& event, const std::string& scriptName) {
    if (!scriptName.empty()) return scriptName;
    if (const EffectProtocol* protocol = findEffectProtocol(event.effectId))
        if (const SignalCodeInfo* code = protocol->findCode(event.value.code)) return code->name;
    return std::to_string(event.value.code);
}

}  // namespace

TimelinePlan planTimeline(const Script& script, std::string_view text, std::int32_t from, std::int32_t to,
                          std::int32_t demoEnd) {
    TimelinePlan plan;
    plan.from = from;
    plan.to = to;
    plan.demoStart = script.demoStart();
    plan.demoEnd = demoEnd;
    plan.hasDemoEnd = script.demoEnd() > 0;
    const ScriptTiming& timing = script.timing();
    plan.bpm = timing.bpm;
    plan.beatMs = timing.beatMs();
    plan.beatsPerBar = timing.beatsPerBar;
    plan.hasGrid = timing.bpmLine != 0 || timing.beatsLine != 0;
    for (const ScriptMark& mark : timing.marks) plan.marks.push_back({mark.name, mark.time});
    plan.events = int(script.setupEvents().size() + script.timelineEvents().size());

    std::set<std::string, std::less<>> defined;
    for (const auto& define : script.defines()) defined.insert(define.name);
    const std::vector<std::string_view> lines = linesOf(text);
    auto wordsOfEvent = [&](const ScriptEvent& event) {
        if (event.line <= 0 || std::size_t(event.line) >= lines.size()) return EventWords{};
        return namesOnLine(lines[event.line], defined);
    };

    std::map<int, PlanRow> byId;
    auto rowOf = [&](const ScriptEvent& event, const EventWords& words) -> PlanRow& {
        PlanRow& row = byId[event.effectId];
        row.effectId = row.firstId = row.lastId = event.effectId;
        if (row.name.empty()) row.name = words.id;
        if (row.className.empty())
            if (const EffectProtocol* protocol = findEffectProtocol(event.effectId)) row.className = protocol->className;
        return row;
    };
    for (const ScriptEvent& event : script.setupEvents()) ++rowOf(event, wordsOfEvent(event)).setupSignals;

    // Spans in dispatch order: a START opens one unless the effect already
    // runs, an END closes the open one.
    std::map<int, std::int32_t> running;
    for (const ScriptEvent& event : script.timelineEvents()) {
        const EventWords words = wordsOfEvent(event);
        PlanRow& row = rowOf(event, words);
        switch (event.kind) {
        case ScriptEvent::Start:
            running.emplace(event.effectId, event.time);
            break;
        case ScriptEvent::End:
            if (auto open = running.find(event.effectId); open != running.end()) {
                row.spans.push_back({open->second, std::max(open->second, event.time), false});
                running.erase(open);
            }
            break;
        case ScriptEvent::Init:
            row.inits.push_back(event.time);
            break;
        case ScriptEvent::Signal:
            row.signals.push_back({event.time, codeLabel(event, words.code)});
            break;
        default:
            break;
        }
    }
    for (const auto& [id, start] : running) byId[id].spans.push_back({start, std::max(start, demoEnd), true});

    for (auto& [id, row] : byId) {
        if (int(plan.rows.size()) < TimelinePlan::kMaxRows) {
            plan.rows.push_back(std::move(row));
            continue;
        }
        // Fold the rest into the last row.
        PlanRow& last = plan.rows.back();
        if (plan.foldedEffects == 0) {
            plan.foldedEffects = 1;
            last.name.clear();
            last.className.clear();
        }
        ++plan.foldedEffects;
        last.lastId = id;
        last.setupSignals += row.setupSignals;
        last.spans.insert(last.spans.end(), row.spans.begin(), row.spans.end());
        last.inits.insert(last.inits.end(), row.inits.begin(), row.inits.end());
        last.signals.insert(last.signals.end(), row.signals.begin(), row.signals.end());
    }
    return plan;
}

}  // namespace vantor::plot
