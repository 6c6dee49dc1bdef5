// The table of 32 effect slots through which the timeline and the frame loop
// reach the effects. Slots hold non-owning pointers; ids outside 0..31 are
// ignored by set and give none from get.
//
// The demo program's main routine (and author mode) owns the table it plays
// from and hands it to the start-up; tools and tests that start the demo or
// play effects hold tables of their own. There is no process-wide table.
#pragma once

#include "runtime/effect.h"

// Watches the table's frame passes, e.g. to time each effect. It is told
// right before and right after every prepare, run and post call.
class EffectCallObserver {
public:
    enum class Call { Prepare, Run, Post };

    virtual void beforeCall(int id, const Effect& effect, Call call) = 0;
    virtual void afterCall(int id, const Effect& effect, Call call) = 0;

protected:
    EffectCallObserver() = default;
    ~EffectCallObserver() = default;
};

class EffectTable {
public:
    static constexpr int kSlots = 32;

    EffectTable() = default;
    EffectTable(const EffectTable&) = delete;
    EffectTable& operator=(const EffectTable&) = delete;

    void set(int id, Effect* effect);
    Effect* get(int id) const;

    void initAll();
    // Pass 1: prepare on every running effect; pass 2: run then post on every
    // effect running at the moment its turn comes. Lower ids draw first.
    void runAll(int time);
    // advance(time) on every effect of the table, running or not.
    void advanceAll(int time);
    // The origin of the per-frame step grid (the script's DEMOSTART), given
    // to every effect in the table and to every one set later.
    void setStepOrigin(int origin);
    int stepOrigin() const { return stepOrigin_; }
    void stopAll();

    // Empties every slot (a fresh table for each test or each start-up).
    void clear();

    // Observes the calls of runAll from now on; null stops observing. The
    // table does not own it.
    void setObserver(EffectCallObserver* observer) { observer_ = observer; }

private:
    void observedRunAll(int time);

    Effect* slots_[kSlots] = {};
    EffectCallObserver* observer_ = nullptr;
    int stepOrigin_ = 0;
};
