// The protocol between the runtime and every visual element of the demo.
//
// The slot order of the virtual operations is the protocol: init, start, stop,
// run, post, signal, setParameter, prepare, advance. Effects are owned by the main
// routine as their concrete types; the table and the timeline only hold
// non-owning pointers, so there is deliberately no virtual destructor.
//
// What each slot is for, per frame (EffectTable::runAll):
//   prepare  before any effect of the frame draws: work off screen, such as
//            drawing another effect into the bottom-left corner of the frame
//            buffer and copying it into a texture (the corner is cleared
//            again before the frame's drawing starts).
//   run      the frame's drawing and the effect's time-dependent state. A
//            capturing effect may also call another effect's run, which then
//            draws wherever the caller's viewport is.
//   post     right after run: the drawing of effects whose picture is a
//            texture layer (the layers draw here); empty for the others.
//
// Per-frame steps. State that moves by a fixed step per frame (a flash's
// decay, a glide, the wipe's threshold, a fade, the swirl's turn, the logo's
// trail) steps on the 60 Hz grid of music time of runtime/frame_steps.h,
// whose origin is the script's DEMOSTART (stepOrigin, set by the table): run
// first takes the steps of the grid up to its time not yet taken, so the
// motion is the one of 60 frames a second whatever the drawing rate, and a
// second run in the same frame (a capture drawing its source) takes none.
//   advance  the steps up to `time` without drawing, for the timeline: the
//            frame loop calls it on every effect of the table with the time
//            just before each event it dispatches, so each event finds the
//            effects where the frames before it would have left them (a seek
//            or a restart replays the whole past this way in one frame). An
//            effect that is not running takes no steps then, it only moves its
//            position on the grid, so that starting it later does not make up
//            for the time it was off. Effects without per-frame steps leave it
//            empty.
//
// The GL state an effect finds when any of the three is called, and must
// leave when it returns (what it changes in between is its own):
//   matrices   the modelview matrix selected; the projection is the window's
//              perspective and the modelview the identity, each at the stack
//              depth found. An effect pushes what it changes and pops it in
//              the same call (flat 2D drawing: pushOrthoMatrices and
//              popOrthoMatrices).
//   depth      test on with GL_LEQUAL, writes on.
//   blending   off (the blend function is whatever was set last: set it).
//   texturing  texture unit 0 selected with 2D and 1D texturing off and the
//              environment GL_MODULATE; unit 1 with texturing off (its
//              environment belongs to whoever turns it on, who sets it).
//   also off   lighting, the alpha test and the scissor test; all colour
//              channels written.
// Left to each effect, never assumed: face culling (scenes set it from their
// flag, the layers leave it off), the current colour, the bound textures and
// the viewport's contents.
// One exception is kept because the show's look depends on it: the scratch
// overlay leaves the depth test off, so until an effect turns it on again the
// next frame draws without it (the visor's reflection in the breakdown).
#pragma once

#include "runtime/signal_value.h"

class Effect {
public:
    bool running = false;
    // The music time of step 0 of the per-frame step grid (DEMOSTART).
    int stepOrigin = 0;

    virtual void init(int time) = 0;
    virtual void start() { running = true; }
    virtual void stop() { running = false; }
    virtual void run(int time) = 0;
    virtual void post() = 0;
    virtual void signal(SignalValue value) = 0;
    virtual void setParameter(int code, int value) {
        (void)code;
        (void)value;
    }
    virtual void prepare(int time) { (void)time; }
    virtual void advance(int time) { (void)time; }

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
