// The protocol between the runtime and every visual element of the demo.
//
// The slot order of the virtual operations is the protocol: init, start, stop,
// run, post, signal, setParameter, prepare. Effects are owned by the main
// routine as their concrete types; the table and the timeline only hold
// non-owning pointers, so there is deliberately no virtual destructor.
#pragma once

#include "app/signal_value.h"

class Effect {
public:
    bool running = false;

    virtual void init(int time) = 0;
    virtual void start() { running = true; }
    virtual void stop() { running = false; }
    virtual void run(int time) = 0;
    virtual void post() = 0;
    virtual void signal(SignalValue value) = 0;
    virtual void setParameter(int code, int value) { (void)code; (void)value; }
    virtual void prepare(int time) { (void)time; }

    // Routes integer values to setParameter; string values are ignored.
    void applyIntegerSignal(SignalValue value) {
        if (!value.isString) setParameter(value.code, value.intValue);
    }

protected:
    Effect() = default;
    ~Effect() = default;
    Effect(const Effect&) = default;
    Effect& operator=(const Effect&) = default;
};
