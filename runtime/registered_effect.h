// One row of the start-up's effect table: an effect of type E that puts itself
// into the table under its id as soon as it is constructed. Members of this
// kind in a struct are therefore built and registered one by one in their
// declaration order, and destroyed in the reverse order. An effect that looks
// other effects up by id (it has useEffectTable) is handed the same table.
#pragma once

#include "runtime/effect_table.h"

#include <type_traits>
#include <utility>

template <class E, class = void>
struct LooksUpEffects : std::false_type {};
template <class E>
struct LooksUpEffects<E, std::void_t<decltype(std::declval<E&>().useEffectTable(std::declval<const EffectTable&>()))>>
    : std::true_type {};

template <class E>
class RegisteredEffect : public E {
public:
    template <class... Args>
    RegisteredEffect(EffectTable& table, int id, Args&&... args) : E(std::forward<Args>(args)...) {
        if constexpr (LooksUpEffects<E>::value) this->useEffectTable(table);
        table.set(id, this);
    }
    RegisteredEffect(const RegisteredEffect&) = delete;
    RegisteredEffect& operator=(const RegisteredEffect&) = delete;
};
