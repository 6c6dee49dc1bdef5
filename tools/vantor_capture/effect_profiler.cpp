#include "tools/vantor_capture/effect_profiler.h"

#include "platform/gl_api.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

EffectProfiler::EffectProfiler(EffectTable& table) : table_(table) { table_.setObserver(this); }

EffectProfiler::~EffectProfiler() { table_.setObserver(nullptr); }

double EffectProfiler::msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void EffectProfiler::beforeCall(int id, const Effect& effect, Call call) {
    (void)id;
    (void)effect;
    (void)call;
    glFinish();
    callStart_ = Clock::now();
}

void EffectProfiler::afterCall(int id, const Effect& effect, Call call) {
    (void)effect;
    (void)call;
    glFinish();
    Row& row = rows_[static_cast<std::size_t>(id)];
    row.frameMs += msSince(callStart_);
    row.ran = true;
}

void EffectProfiler::beginFrame() {
    glFinish();
    frameStart_ = Clock::now();
}

void EffectProfiler::endFrame() {
    glFinish();
    frame_.frameMs = msSince(frameStart_);
    frame_.ran = true;
    auto close = [](Row& r) {
        if (!r.ran) return;
        ++r.frames;
        r.totalMs += r.frameMs;
        r.maxMs = std::max(r.maxMs, r.frameMs);
        r.frameMs = 0;
        r.ran = false;
    };
    for (Row& row : rows_) close(row);
    close(frame_);
}

std::string EffectProfiler::className(const Effect& effect) {
    const char* mangled = typeid(effect).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    // A start-up row is the effect class it registers.
    const std::string row = "RegisteredEffect<";
    if (name.compare(0, row.size(), row) == 0 && name.back() == '>')
        name = name.substr(row.size(), name.size() - row.size() - 1);
    const std::size_t template_ = name.find('<');
    if (template_ != std::string::npos) name.erase(template_);
    const std::size_t scope = name.rfind("::");
    if (scope != std::string::npos) name.erase(0, scope + 2);
    return name;
}

void EffectProfiler::printTable(std::FILE* out) const {
    std::fprintf(out, "%3s  %-24s %8s %9s %9s\n", "id", "effect", "frames", "mean ms", "max ms");
    for (int id = 0; id < EffectTable::kSlots; ++id) {
        const Effect* effect = table_.get(id);
        if (!effect) continue;
        const Row& r = rows_[static_cast<std::size_t>(id)];
        const double mean = r.frames ? r.totalMs / double(r.frames) : 0.0;
        std::fprintf(out, "%3d  %-24s %8llu %9.3f %9.3f\n", id, className(*effect).c_str(),
                     static_cast<unsigned long long>(r.frames), mean, r.maxMs);
    }
    const double mean = frame_.frames ? frame_.totalMs / double(frame_.frames) : 0.0;
    std::fprintf(out, "%3s  %-24s %8llu %9.3f %9.3f\n", "", "frame", static_cast<unsigned long long>(frame_.frames),
                 mean, frame_.maxMs);
    std::fprintf(out, "%llu frames, %.1f frames per second\n", static_cast<unsigned long long>(frame_.frames),
                 mean > 0 ? 1000.0 / mean : 0.0);
}
