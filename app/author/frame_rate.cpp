#include "app/author/frame_rate.h"

namespace {
constexpr double kWindowSeconds = 1.0;
}

void FrameRateMeter::frameShown(double seconds) {
    shown_.push_back(seconds);
    while (shown_.size() > 2 && shown_.back() - shown_.front() > kWindowSeconds) shown_.pop_front();
}

double FrameRateMeter::perSecond() const {
    if (shown_.size() < 2) return 0.0;
    const double span = shown_.back() - shown_.front();
    return span > 0 ? static_cast<double>(shown_.size() - 1) / span : 0.0;
}
