// The two send effects of the mix: a ping-pong echo and a stereo reverb. Both
// read a mono send and add their output to a stereo track in place.
#pragma once

#include <cstddef>
#include <vector>

namespace vantor::synth {

// Echo bouncing between the channels every `delaySamples`.
void addPingPongDelay(const std::vector<float>& send, std::size_t delaySamples, float feedback,
                      std::vector<float>& left, std::vector<float>& right);

// A room of parallel damped combs and serial all-passes per channel, with
// slightly different lengths left and right for width.
void addReverb(const std::vector<float>& send, float roomSize, float damping, std::vector<float>& left,
               std::vector<float>& right);

}  // namespace vantor::synth
