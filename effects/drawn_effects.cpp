#include "effects/drawn_effects.h"

#include "runtime/effect_table.h"

#include <cstdio>

namespace {

// No loop exists among the drawn effects (each choice that would close one is
// refused), so a walk ends within the table's size; the bound only keeps a
// broken invariant from recursing without end.
bool drawsWithin(const Effect* from, const Effect* to, int depth) {
    if (!from) return false;
    if (from == to) return true;
    if (depth > EffectTable::kSlots) return true;
    const auto* drawer = dynamic_cast<const DrawsOtherEffects*>(from);
    if (!drawer) return false;
    for (const Effect* drawn : drawer->drawnEffects())
        if (drawsWithin(drawn, to, depth + 1)) return true;
    return false;
}

int idIn(const EffectTable& table, const Effect& effect) {
    for (int id = 0; id < EffectTable::kSlots; ++id)
        if (table.get(id) == &effect) return id;
    return -1;
}

}  // namespace

bool drawsEffect(const Effect* from, const Effect* to) { return drawsWithin(from, to, 0); }

void DrawsOtherEffects::chooseDrawn(Effect*& slot, int id, const Effect& self) const {
    Effect* effect = table_ ? table_->get(id) : nullptr;
    if (effect == &self) {
        slot = nullptr;  // an effect drawing itself draws nothing of it
        return;
    }
    if (effect && drawsEffect(effect, &self)) {
        std::fprintf(stderr, "effect %d cannot draw effect %d, which draws effect %d already: signal ignored\n",
                     idIn(*table_, self), id, idIn(*table_, self));
        return;
    }
    slot = effect;
}
