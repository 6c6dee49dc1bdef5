// Per-effect drawing times of a capture: every prepare, run and post call of
// the effect table is closed by glFinish and timed, summed per effect and
// frame; the whole frame is timed the same way.
#pragma once

#include "runtime/effect_table.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class EffectProfiler : public EffectCallObserver {
public:
    // Starts observing table; stops in the destructor.
    explicit EffectProfiler(EffectTable& table);
    ~EffectProfiler();
    EffectProfiler(const EffectProfiler&) = delete;
    EffectProfiler& operator=(const EffectProfiler&) = delete;

    void beforeCall(int id, const Effect& effect, Call call) override;
    void afterCall(int id, const Effect& effect, Call call) override;

    // Around one frame of the loop (glFinish on both sides).
    void beginFrame();
    void endFrame();

    // One row per effect of the table: id, class name, frames in which it
    // ran, mean and max ms per such frame; then the frame total.
    void printTable(std::FILE* out) const;

    // The class name of an effect (a start-up row names the class it
    // registers), without namespaces.
    static std::string className(const Effect& effect);

private:
    using Clock = std::chrono::steady_clock;

    struct Row {
        std::uint64_t frames = 0;
        double totalMs = 0;
        double maxMs = 0;
        double frameMs = 0;  // in the frame being drawn
        bool ran = false;    // in the frame being drawn
    };

    static double msSince(Clock::time_point start);

    EffectTable& table_;
    std::array<Row, EffectTable::kSlots> rows_{};
    Row frame_;
    Clock::time_point callStart_{};
    Clock::time_point frameStart_{};
};
