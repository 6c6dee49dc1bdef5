#include "app/author/transport.h"

#include <algorithm>
#include <cmath>

Transport::Transport(const ScriptTiming& timing, int demoStart, int endTime) : endTime_(endTime) {
    setScript(timing, demoStart);
}

void Transport::setScript(const ScriptTiming& timing, int demoStart) {
    timing_ = timing;
    demoStart_ = demoStart;
    markTimes_.clear();
    for (const ScriptMark& mark : timing.marks) markTimes_.push_back(mark.time);
    std::sort(markTimes_.begin(), markTimes_.end());
}

int Transport::step(int now, double length, long long count) const {
    const double nearest = std::round(static_cast<double>(now) / length);
    const double index = nearest + static_cast<double>(count);
    // The last grid point before the end (in whole ms); forward stops there.
    double last = std::ceil(endTime_ / length) - 1;
    while (last > 0 && std::lround(last * length) >= endTime_) --last;
    const double clamped = std::clamp(index, 0.0, std::max(last, 0.0));
    const int target = static_cast<int>(std::lround(clamped * length));
    // Past the last point, forward stays where it is rather than going back.
    return count > 0 ? std::max(target, now) : target;
}

std::optional<int> Transport::markTime(const std::string& name) const {
    for (const ScriptMark& mark : timing_.marks)
        if (mark.name == name) return mark.time;
    return std::nullopt;
}

std::optional<int> Transport::previousMark(int now) const {
    const double before = now - timing_.beatMs();
    for (auto it = markTimes_.rbegin(); it != markTimes_.rend(); ++it)
        if (*it < before) return *it;
    return std::nullopt;
}

std::optional<int> Transport::nextMark(int now) const {
    for (int time : markTimes_)
        if (time > now) return time;
    return std::nullopt;
}

TransportAction Transport::press(TransportKey key, int now) {
    TransportAction action;
    switch (key) {
    case TransportKey::BeatBack: action.seekTo = step(now, timing_.beatMs(), -1); break;
    case TransportKey::BeatForward: action.seekTo = step(now, timing_.beatMs(), +1); break;
    case TransportKey::BarBack: action.seekTo = step(now, timing_.barMs(), -1); break;
    case TransportKey::BarForward: action.seekTo = step(now, timing_.barMs(), +1); break;
    case TransportKey::Home: action.seekTo = demoStart_; break;
    case TransportKey::PreviousMark: action.seekTo = previousMark(now); break;
    case TransportKey::NextMark: action.seekTo = nextMark(now); break;
    case TransportKey::PlayPause: action.togglePause = true; break;
    case TransportKey::Loop:
        if (loop_) {
            loop_.reset();
        } else {
            const double length = timing_.barMs() * kBarsPerLoop;
            const double first = std::floor(std::max(now, 0) / length);
            const int start = static_cast<int>(std::lround(first * length));
            const int end = std::min(static_cast<int>(std::lround((first + 1) * length)), endTime_);
            if (start < end) loop_ = LoopRange{start, end};
        }
        break;
    }
    return action;
}

bool Transport::setLoop(int start, int end) {
    if (start < 0 || start >= end || end > endTime_) return false;
    loop_ = LoopRange{start, end};
    return true;
}

std::optional<int> Transport::wrap(int now) const {
    if (!loop_ || now < loop_->end) return std::nullopt;
    return loop_->start + (now - loop_->end) % (loop_->end - loop_->start);
}

BarBeat Transport::barBeat(int now) const {
    const auto beat = static_cast<long>(std::floor((now + 0.5) / timing_.beatMs()));
    const long perBar = timing_.beatsPerBar;
    const long bar = beat >= 0 ? beat / perBar : -((-beat + perBar - 1) / perBar);
    return BarBeat{static_cast<int>(bar), static_cast<int>(beat - bar * perBar) + 1};
}
