// One row of the start-up's effect table: an effect of type E that puts itself
// into the table under its id as soon as it is constructed. Members of this
// kind in a struct are therefore built and registered one by one in their
// declaration order, and destroyed in the reverse order.
#pragma once

#include "app/effect_table.h"

#include <utility>

template <class E>
class RegisteredEffect : public E {
public:
    template <class... Args>
    RegisteredEffect(EffectTable& table, int id, Args&&... args) : E(std::forward<Args>(args)...) {
        table.set(id, this);
    }
    RegisteredEffect(const RegisteredEffect&) = delete;
    RegisteredEffect& operator=(const RegisteredEffect&) = delete;
};
