// The timeline script: what the demo shows and when, as events addressed to
// effect ids at music milliseconds.
#pragma once

#include "app/signal_value.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// One parsed event. Setup events have time 0 and kind 4.
struct ScriptEvent {
    enum Kind : std::int32_t { Start = 1, End = 2, Init = 3, Signal = 4 };

    std::int32_t time = 0;
    std::int32_t kind = 0;
    std::int32_t effectId = 0;
    SignalValue value;

    virtual ~ScriptEvent() = default;
};

class Script {
public:
    static constexpr int kMaxDefines = 400;
    static constexpr int kMaxTimelineEvents = 1000;
    static constexpr int kMaxSetupEvents = 1000;

    // Reads the file through the data-file layer and parses it. An unreadable
    // file ends the program with "could not parse script"; syntax errors end it
    // with their own fatal messages.
    explicit Script(const char* fileName);

    // Parses a script held in memory, exactly as the file constructor does.
    static std::unique_ptr<Script> fromText(std::string_view text);

    // A script assembled from already parsed events.
    Script(std::vector<ScriptEvent> setup, std::vector<ScriptEvent> timeline, std::int32_t demoStart)
        : setup_(std::move(setup)), timeline_(std::move(timeline)), demoStart_(demoStart) {}

    const std::vector<ScriptEvent>& timelineEvents() const { return timeline_; }
    const std::vector<ScriptEvent>& setupEvents() const { return setup_; }
    std::int32_t demoStart() const { return demoStart_; }

private:
    Script() = default;
    void parse(std::string_view text);

    std::vector<ScriptEvent> setup_;
    std::vector<ScriptEvent> timeline_;
    std::int32_t demoStart_ = 0;
};
