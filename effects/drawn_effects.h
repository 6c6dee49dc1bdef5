// What an effect that draws other effects of the table (the capture effects,
// the wipe, the visor) uses to find them: the table it was registered in, and
// the refusal of a choice that would close a loop.
//
// A loop of effects that draw each other (A captures B, B captures A; a wipe
// whose target captures the wipe; longer rings) would run itself until the
// stack overflows. The signal that would close such a loop is refused: the
// effect keeps drawing what it drew before, and a line on stderr names both
// ids, so the script's author sees which signal was dropped.
#pragma once

#include "runtime/effect.h"

#include <array>

class EffectTable;

class DrawsOtherEffects {
public:
    // The table ids are looked up in. RegisteredEffect hands it over when it
    // registers the effect; without one every id gives none.
    void useEffectTable(const EffectTable& table) { table_ = &table; }

    // The effects this one draws now (none where a slot is unset).
    virtual std::array<const Effect*, 2> drawnEffects() const = 0;

protected:
    DrawsOtherEffects() = default;
    ~DrawsOtherEffects() = default;
    DrawsOtherEffects(const DrawsOtherEffects&) = default;
    DrawsOtherEffects& operator=(const DrawsOtherEffects&) = default;

    // Sets `slot`, one of the effects `self` draws, to the table's effect with
    // the id: none for an empty slot, an id outside the table or `self`
    // itself. An effect that already draws `self`, directly or through the
    // effects it draws, is refused: `slot` stays as it was and a line on
    // stderr names both ids.
    void chooseDrawn(Effect*& slot, int id, const Effect& self) const;

private:
    const EffectTable* table_ = nullptr;
};

// True when `from` is `to` or draws it, directly or through the effects it draws.
bool drawsEffect(const Effect* from, const Effect* to);
