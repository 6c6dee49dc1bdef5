#include "content/soundtrack/effects_bus.h"

#include <array>

namespace vantor::synth {
namespace {

class Comb {
public:
    explicit Comb(std::size_t length) : buffer_(length, 0.0f) {}
    float process(float in, float feedback, float damping) {
        const float out = buffer_[pos_];
        filtered_ = out * (1.0f - damping) + filtered_ * damping;
        buffer_[pos_] = in + filtered_ * feedback;
        if (++pos_ == buffer_.size()) pos_ = 0;
        return out;
    }

private:
    std::vector<float> buffer_;
    std::size_t pos_ = 0;
    float filtered_ = 0.0f;
};

class AllPass {
public:
    explicit AllPass(std::size_t length) : buffer_(length, 0.0f) {}
    float process(float in) {
        const float delayed = buffer_[pos_];
        const float out = delayed - in;
        buffer_[pos_] = in + delayed * 0.5f;
        if (++pos_ == buffer_.size()) pos_ = 0;
        return out;
    }

private:
    std::vector<float> buffer_;
    std::size_t pos_ = 0;
};

struct ReverbChannel {
    std::array<Comb, 8> combs;
    std::array<AllPass, 4> allPasses;

    explicit ReverbChannel(std::size_t spread)
        : combs{Comb(1116 + spread), Comb(1188 + spread), Comb(1277 + spread), Comb(1356 + spread),
                Comb(1422 + spread), Comb(1491 + spread), Comb(1557 + spread), Comb(1617 + spread)},
          allPasses{AllPass(556 + spread), AllPass(441 + spread), AllPass(341 + spread), AllPass(225 + spread)} {}

    float process(float in, float feedback, float damping) {
        float sum = 0.0f;
        for (Comb& comb : combs) sum += comb.process(in, feedback, damping);
        for (AllPass& pass : allPasses) sum = pass.process(sum);
        return sum;
    }
};

}  // namespace

void addPingPongDelay(const std::vector<float>& send, std::size_t delaySamples, float feedback,
                      std::vector<float>& left, std::vector<float>& right) {
    if (delaySamples == 0) return;
    std::vector<float> lineLeft(delaySamples, 0.0f), lineRight(delaySamples, 0.0f);
    float dampLeft = 0.0f, dampRight = 0.0f;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < send.size() && i < left.size(); ++i) {
        const float outLeft = lineLeft[pos], outRight = lineRight[pos];
        // Each repeat is a little darker than the last.
        dampLeft = 0.7f * outLeft + 0.3f * dampLeft;
        dampRight = 0.7f * outRight + 0.3f * dampRight;
        lineLeft[pos] = send[i] + dampRight * feedback;
        lineRight[pos] = dampLeft * feedback;
        left[i] += outLeft;
        right[i] += outRight;
        if (++pos == delaySamples) pos = 0;
    }
}

void addReverb(const std::vector<float>& send, float roomSize, float damping, std::vector<float>& left,
               std::vector<float>& right) {
    ReverbChannel channelLeft(0), channelRight(23);
    for (std::size_t i = 0; i < send.size() && i < left.size(); ++i) {
        const float in = send[i] * 0.125f;
        left[i] += channelLeft.process(in, roomSize, damping);
        right[i] += channelRight.process(in, roomSize, damping);
    }
}

}  // namespace vantor::synth
