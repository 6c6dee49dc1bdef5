#include "runtime/effect_table.h"

void EffectTable::set(int id, Effect* effect) {
    if (id < 0 || id >= kSlots) return;
    slots_[id] = effect;
    if (effect) effect->stepOrigin = stepOrigin_;
}

void EffectTable::advanceAll(int time) {
    for (Effect* effect : slots_)
        if (effect) effect->advance(time);
}

void EffectTable::setStepOrigin(int origin) {
    stepOrigin_ = origin;
    for (Effect* effect : slots_)
        if (effect) effect->stepOrigin = origin;
}

Effect* EffectTable::get(int id) const {
    if (id < 0 || id >= kSlots) return nullptr;
    return slots_[id];
}

void EffectTable::initAll() {
    for (Effect* effect : slots_)
        if (effect) effect->init(0);
}

void EffectTable::runAll(int time) {
    if (observer_) {
        observedRunAll(time);
        return;
    }
    for (Effect* effect : slots_)
        if (effect && effect->running) effect->prepare(time);
    for (Effect* effect : slots_) {
        // running is read once, before run: post follows run even when run stops the effect.
        if (!effect || !effect->running) continue;
        effect->run(time);
        effect->post();
    }
}

// runAll with the observer told around every call, in the same order.
void EffectTable::observedRunAll(int time) {
    using Call = EffectCallObserver::Call;
    for (int id = 0; id < kSlots; ++id) {
        Effect* effect = slots_[id];
        if (!effect || !effect->running) continue;
        observer_->beforeCall(id, *effect, Call::Prepare);
        effect->prepare(time);
        observer_->afterCall(id, *effect, Call::Prepare);
    }
    for (int id = 0; id < kSlots; ++id) {
        Effect* effect = slots_[id];
        if (!effect || !effect->running) continue;
        observer_->beforeCall(id, *effect, Call::Run);
        effect->run(time);
        observer_->afterCall(id, *effect, Call::Run);
        observer_->beforeCall(id, *effect, Call::Post);
        effect->post();
        observer_->afterCall(id, *effect, Call::Post);
    }
}

void EffectTable::stopAll() {
    for (Effect* effect : slots_)
        if (effect) effect->stop();
}

void EffectTable::clear() {
    for (Effect*& effect : slots_) effect = nullptr;
}
