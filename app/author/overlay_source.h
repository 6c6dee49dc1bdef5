// The part of the overlay's state that the frame loop and the effect table
// know: the music time of the last frame and its bar:beat, the running
// effects with their class names, and the last event dispatched with its
// script line, in the script's own names (scriptEventName). Frames per second, pause, loop and error are the caller's.
#pragma once

#include "app/author/overlay_state.h"
#include "app/author/transport.h"
#include "runtime/effect_table.h"
#include "app/frame_loop.h"

void fillOverlayState(OverlayState& state, const FrameLoop& loop, const EffectTable& table, const Transport& transport);

// The class of an effect as the overlay names it ("SceneEffect").
std::string effectClassName(const Effect& effect);
