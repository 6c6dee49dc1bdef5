// The single table of 32 effect slots through which the timeline and the frame
// loop reach the effects. Slots hold non-owning pointers; ids outside 0..31
// are ignored by set and give none from get.
#pragma once

#include "app/effect.h"

class EffectTable {
public:
    static constexpr int kSlots = 32;

    static EffectTable& instance();

    void set(int id, Effect* effect);
    Effect* get(int id) const;

    void initAll();
    // Pass 1: prepare on every running effect; pass 2: run then post on every
    // effect running at the moment its turn comes. Lower ids draw first.
    void runAll(int time);
    void stopAll();

    // Empties every slot (a fresh table for each test or each start-up).
    void clear();

private:
    EffectTable() = default;
    Effect* slots_[kSlots] = {};
};
